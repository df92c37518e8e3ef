// SSE2 versions of the conversion and packing loops (the baseline of both
// targets), with the byte shuffles of SSSE3 where the processor has them.
#include "pixel_loops.h"

#include "../pixel/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace tvn {
namespace loops {

namespace {

inline __m128i load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}
inline void store(void* p, __m128i v) {
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
}
inline __m128i words(TVN_DWORD v) {
    return _mm_set1_epi32(static_cast<int>(v));
}

// Four grey words: pmaddwd gives 9798 R + 19235 G and 3736 B per pixel as two
// 32-bit halves of a 64-bit lane, which are added and shifted in that lane.
inline __m128i grey4(__m128i v) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights = _mm_set_epi16(0, 3736, 19235, 9798, 0, 3736, 19235, 9798);
    __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), weights);
    __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), weights);
    lo = _mm_add_epi32(lo, _mm_srli_epi64(lo, 32));
    hi = _mm_add_epi32(hi, _mm_srli_epi64(hi, 32));
    lo = _mm_srli_epi64(_mm_slli_epi64(lo, 32), 47);
    hi = _mm_srli_epi64(_mm_slli_epi64(hi, 32), 47);
    __m128i y = _mm_packs_epi32(lo, hi); // (Y, 0) pairs of 16 bits: Y per 32-bit lane
    y = _mm_or_si128(y, _mm_or_si128(_mm_slli_epi32(y, 8), _mm_slli_epi32(y, 16)));
    return _mm_or_si128(y, _mm_and_si128(v, words(0xFF000000u)));
}

inline __m128i swap4(__m128i v) {
    const __m128i ag = words(0xFF00FF00u);
    __m128i rb = _mm_andnot_si128(ag, v);
    rb = _mm_shufflehi_epi16(_mm_shufflelo_epi16(rb, 0xB1), 0xB1); // 16-bit halves exchanged
    return _mm_or_si128(_mm_and_si128(v, ag), rb);
}

inline __m128i byteSwap4(__m128i v) {
    v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xB1), 0xB1);
}

void grey(TVN_DWORD* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(p + i, grey4(load(p + i)));
    reference().grey(p + i, n - i);
}

void swapRB(TVN_DWORD* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(p + i, swap4(load(p + i)));
    reference().swapRB(p + i, n - i);
}

void bgra32(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(dst + 4 * i, swap4(load(src + i)));
    reference().bgra32(src + i, dst + 4 * i, n - i);
}

void bigEndian(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(dst + 4 * i, byteSwap4(load(src + i)));
    reference().bigEndian(src + i, dst + 4 * i, n - i);
}

std::size_t findPair(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    std::size_t x = from;
    for (; x + 5 <= n; x += 4) {
        const int m = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(load(p + x), load(p + x + 1))));
        if (m) return x + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(m)));
    }
    return reference().findPair(p, x, n);
}

std::size_t runEnd(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    const __m128i v = words(p[from]);
    std::size_t x = from + 1;
    for (; x + 4 <= n; x += 4) {
        const int m = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(load(p + x), v))) ^ 0xF;
        if (m) return x + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(m)));
    }
    // Continue the scalar walk from x - 1, which still equals p[from].
    return reference().runEnd(p, x - 1, n);
}

// Sixteen pixels become 48 bytes: each group of four is shuffled to 12 bytes and
// the four groups are joined into three whole stores.
__attribute__((target("ssse3"))) void bgr24Ssse3(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m128i shuf = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16, dst += 48) {
        const __m128i a = _mm_shuffle_epi8(load(src + i), shuf);
        const __m128i b = _mm_shuffle_epi8(load(src + i + 4), shuf);
        const __m128i c = _mm_shuffle_epi8(load(src + i + 8), shuf);
        const __m128i d = _mm_shuffle_epi8(load(src + i + 12), shuf);
        store(dst, _mm_or_si128(a, _mm_slli_si128(b, 12)));
        store(dst + 16, _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        store(dst + 32, _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    reference().bgr24(src + i, dst, n - i);
}

__attribute__((target("ssse3"))) void bigEndianSsse3(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m128i shuf = _mm_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(dst + 4 * i, _mm_shuffle_epi8(load(src + i), shuf));
    reference().bigEndian(src + i, dst + 4 * i, n - i);
}

// Three-byte pixels need a byte shuffle to pay; plain SSE2 keeps the scalar loop.
void bgr24Scalar(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    reference().bgr24(src, dst, n);
}

const Kernels kSse2 = {grey, swapRB, bgra32, bgr24Scalar, bigEndian, findPair, runEnd};
const Kernels kSsse3 = {grey, swapRB, bgra32, bgr24Ssse3, bigEndianSsse3, findPair, runEnd};

} // namespace

namespace detail {
const Kernels* sse2Kernels() {
    // Every processor with SSE4.1 has SSSE3's byte shuffle.
    return cpu::hasSse41() ? &kSsse3 : &kSse2;
}
} // namespace detail

} // namespace loops
} // namespace tvn

#else

namespace tvn {
namespace loops {
namespace detail {
const Kernels* sse2Kernels() { return nullptr; }
} // namespace detail
} // namespace loops
} // namespace tvn

#endif
