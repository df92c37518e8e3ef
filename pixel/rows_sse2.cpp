// SSE2 row kernels (the baseline of both targets): four words per step.
#include "pixel/rows.h"

#ifdef TVN_X86
#include <immintrin.h>

namespace tvn::pixel {
namespace rows {

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
    reference::grey(p + i, n - i);
}

void swapRB(TVN_DWORD* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(p + i, swap4(load(p + i)));
    reference::swapRB(p + i, n - i);
}

void wordsToBgra(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(dst + 4 * i, swap4(load(src + i)));
    reference::wordsToBgra(src + i, dst + 4 * i, n - i);
}

void wordsToBigEndian(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(dst + 4 * i, byteSwap4(load(src + i)));
    reference::wordsToBigEndian(src + i, dst + 4 * i, n - i);
}

void bigEndianToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(dst + i, byteSwap4(load(src + 4 * i)));
    reference::bigEndianToWords(src + 4 * i, dst + i, n - i);
}

} // namespace

// Three-byte pixels need a byte shuffle to pay: they wait for SSSE3.
void addSse2(RowKernels& k) {
    k.grey = grey;
    k.swapRB = swapRB;
    k.wordsToBgra = wordsToBgra;
    k.wordsToBigEndian = wordsToBigEndian;
    k.bigEndianToWords = bigEndianToWords;
}

} // namespace rows
} // namespace tvn::pixel

#endif
