// AVX2 row kernels: eight pixels per step, the SSSE3 shuffles in both lanes.
#include "pixel/rows.h"

#ifdef TVN_X86
#include <immintrin.h>

#include "pixel/rows_shuffles.h"

#define TVN_AVX2 __attribute__((target("avx2")))

namespace tvn::pixel {
namespace rows {

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

// See grey4 of the SSE2 kernels: the same sums, then Y copied into red, green, blue.
TVN_AVX2 inline __m256i grey8(__m256i v) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i weights =
        _mm256_set_epi16(0, 3736, 19235, 9798, 0, 3736, 19235, 9798, 0, 3736, 19235, 9798, 0, 3736, 19235, 9798);
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

TVN_AVX2 void grey(TVN_DWORD* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(p + i, grey8(load(p + i)));
    reference::grey(p + i, n - i);
}

TVN_AVX2 void swapRB(TVN_DWORD* p, std::size_t n) {
    const __m256i shuf = _mm256_setr_epi8(TVN_SWAP_RB, TVN_SWAP_RB);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(p + i, _mm256_shuffle_epi8(load(p + i), shuf));
    reference::swapRB(p + i, n - i);
}

TVN_AVX2 void wordsToBgra(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m256i shuf = _mm256_setr_epi8(TVN_SWAP_RB, TVN_SWAP_RB);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(dst + 4 * i, _mm256_shuffle_epi8(load(src + i), shuf));
    reference::wordsToBgra(src + i, dst + 4 * i, n - i);
}

// Eight pixels: 12 bytes per lane after the shuffle, joined to 24 by a dword
// permutation and written as 16 + 8 bytes, never past the destination.
TVN_AVX2 void wordsToBgr(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m256i shuf = _mm256_setr_epi8(TVN_WORDS_TO_BGR, TVN_WORDS_TO_BGR);
    const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8, dst += 24) {
        const __m256i t = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(load(src + i), shuf), join);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm256_castsi256_si128(t));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 16), _mm256_extracti128_si256(t, 1));
    }
    reference::wordsToBgr(src + i, dst, n - i);
}

TVN_AVX2 void wordsToBigEndian(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m256i shuf = _mm256_setr_epi8(TVN_BYTE_SWAP, TVN_BYTE_SWAP);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(dst + 4 * i, _mm256_shuffle_epi8(load(src + i), shuf));
    reference::wordsToBigEndian(src + i, dst + 4 * i, n - i);
}

TVN_AVX2 void bigEndianToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t n) {
    const __m256i shuf = _mm256_setr_epi8(TVN_BYTE_SWAP, TVN_BYTE_SWAP);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) store(dst + i, _mm256_shuffle_epi8(load(src + 4 * i), shuf));
    reference::bigEndianToWords(src + 4 * i, dst + i, n - i);
}

TVN_AVX2 void bgrToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    const __m256i shuffle = _mm256_setr_epi8(TVN_BGR_TO_WORDS, TVN_BGR_TO_WORDS);
    const __m256i alpha = words(0xFF000000u);
    std::size_t i = 0;
    // Eight pixels from two 16-byte loads 12 bytes apart (28 bytes read, 24 used).
    for (; (i + 8) * 3 + 4 <= count * 3; i += 8) {
        const unsigned char* s = src + i * 3;
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 12));
        const __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
        store(dst + i, _mm256_or_si256(_mm256_shuffle_epi8(v, shuffle), alpha));
    }
    reference::bgrToWords(src + i * 3, dst + i, count - i);
}

TVN_AVX2 void bgrxToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    const __m256i shuffle = _mm256_setr_epi8(TVN_BGRX_TO_WORDS, TVN_BGRX_TO_WORDS);
    const __m256i alpha = words(0xFF000000u);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8)
        store(dst + i, _mm256_or_si256(_mm256_shuffle_epi8(load(src + i * 4), shuffle), alpha));
    reference::bgrxToWords(src + i * 4, dst + i, count - i);
}

TVN_AVX2 void bgraToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    const __m256i shuffle = _mm256_setr_epi8(TVN_SWAP_RB, TVN_SWAP_RB);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) store(dst + i, _mm256_shuffle_epi8(load(src + i * 4), shuffle));
    reference::bgraToWords(src + i * 4, dst + i, count - i);
}

} // namespace

void addAvx2(RowKernels& k) {
    k.bgrToWords = bgrToWords;
    k.bgrxToWords = bgrxToWords;
    k.bgraToWords = bgraToWords;
    k.wordsToBgra = wordsToBgra;
    k.wordsToBgr = wordsToBgr;
    k.wordsToBigEndian = wordsToBigEndian;
    k.bigEndianToWords = bigEndianToWords;
    k.swapRB = swapRB;
    k.grey = grey;
}

} // namespace rows
} // namespace tvn::pixel

#endif
