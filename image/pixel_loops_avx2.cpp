// AVX2 versions of the conversion and packing loops: eight pixels per step.
#include "pixel_loops.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define TVN_AVX2 __attribute__((target("avx2")))

namespace tvn {
namespace loops {

namespace {

TVN_AVX2 inline __m256i load(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
TVN_AVX2 inline void store(void* p, __m256i v) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}
TVN_AVX2 inline __m256i words(TVN_DWORD v) {
    return _mm256_set1_epi32(static_cast<int>(v));
}
// The same byte pattern in both 128-bit lanes.
TVN_AVX2 inline __m256i lanes(__m128i v) {
    return _mm256_broadcastsi128_si256(v);
}

// See grey4 of the SSE2 set: the same sums, then Y copied into red, green, blue.
TVN_AVX2 inline __m256i grey8(__m256i v) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i weights = _mm256_set_epi16(0, 3736, 19235, 9798, 0, 3736, 19235, 9798, 0, 3736, 19235, 9798, 0,
                                             3736, 19235, 9798);
    const __m256i spread = lanes(_mm_setr_epi8(0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1));
    __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi8(v, zero), weights);
    __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi8(v, zero), weights);
    lo = _mm256_add_epi32(lo, _mm256_srli_epi64(lo, 32));
    hi = _mm256_add_epi32(hi, _mm256_srli_epi64(hi, 32));
    lo = _mm256_srli_epi64(_mm256_slli_epi64(lo, 32), 47);
    hi = _mm256_srli_epi64(_mm256_slli_epi64(hi, 32), 47);
    const __m256i y = _mm256_shuffle_epi8(_mm256_packs_epi32(lo, hi), spread);
    return _mm256_or_si256(y, _mm256_and_si256(v, words(0xFF000000u)));
}

TVN_AVX2 inline __m256i swapMask() {
    return lanes(_mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15));
}

TVN_AVX2 void grey(TVN_DWORD* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(p + i, grey8(load(p + i)));
    reference().grey(p + i, n - i);
}

TVN_AVX2 void swapRB(TVN_DWORD* p, std::size_t n) {
    const __m256i shuf = swapMask();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(p + i, _mm256_shuffle_epi8(load(p + i), shuf));
    reference().swapRB(p + i, n - i);
}

TVN_AVX2 void bgra32(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m256i shuf = swapMask();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(dst + 4 * i, _mm256_shuffle_epi8(load(src + i), shuf));
    reference().bgra32(src + i, dst + 4 * i, n - i);
}

// Eight pixels: 12 bytes per lane after the shuffle, joined to 24 by a dword
// permutation and written as 16 + 8 bytes, never past the destination.
TVN_AVX2 void bgr24(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m256i shuf = lanes(_mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
    const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8, dst += 24) {
        const __m256i t = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(load(src + i), shuf), join);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm256_castsi256_si128(t));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 16), _mm256_extracti128_si256(t, 1));
    }
    reference().bgr24(src + i, dst, n - i);
}

TVN_AVX2 void bigEndian(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m256i shuf = lanes(_mm_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12));
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(dst + 4 * i, _mm256_shuffle_epi8(load(src + i), shuf));
    reference().bigEndian(src + i, dst + 4 * i, n - i);
}

TVN_AVX2 inline unsigned mask8(__m256i eq) {
    return static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(eq)));
}

TVN_AVX2 std::size_t findPair(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    std::size_t x = from;
    for (; x + 9 <= n; x += 8) {
        const unsigned m = mask8(_mm256_cmpeq_epi32(load(p + x), load(p + x + 1)));
        if (m) return x + static_cast<std::size_t>(__builtin_ctz(m));
    }
    return reference().findPair(p, x, n);
}

TVN_AVX2 std::size_t runEnd(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    const __m256i v = words(p[from]);
    std::size_t x = from + 1;
    for (; x + 8 <= n; x += 8) {
        const unsigned m = mask8(_mm256_cmpeq_epi32(load(p + x), v)) ^ 0xFFu;
        if (m) return x + static_cast<std::size_t>(__builtin_ctz(m));
    }
    return reference().runEnd(p, x - 1, n);
}

const Kernels kAvx2 = {grey, swapRB, bgra32, bgr24, bigEndian, findPair, runEnd};

} // namespace

namespace detail {
const Kernels* avx2Kernels() { return &kAvx2; }
} // namespace detail

} // namespace loops
} // namespace tvn

#else

namespace tvn {
namespace loops {
namespace detail {
const Kernels* avx2Kernels() { return nullptr; }
} // namespace detail
} // namespace loops
} // namespace tvn

#endif
