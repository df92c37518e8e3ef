// AVX2 chromakey, eight pixels at a time, chosen at run time.
#include <cmath>

#include "alpha/alpha_frame.h"
#include "alpha/chromakey_kernels.h"

#ifdef TVN_X86
#include <immintrin.h>

#define TVN_AVX2 __attribute__((target("avx2")))

namespace tvn {
namespace alpha {

namespace {
// Truncated root of eight squared distances (0 .. kMaxSquaredDistance).
TVN_AVX2 __m256i root8(__m256i squared) {
    return _mm256_cvttps_epi32(_mm256_sqrt_ps(_mm256_cvtepi32_ps(squared)));
}
} // namespace

TVN_AVX2 TVN_DWORD chromakeyRootAvx2(TVN_DWORD squared) {
    __m256i r = root8(_mm256_set1_epi32(static_cast<int>(squared)));
    return static_cast<TVN_DWORD>(_mm_cvtsi128_si32(_mm256_castsi256_si128(r)));
}

TVN_AVX2 void chromakeyAvx2(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s) {
    const __m256i mask16 = _mm256_set1_epi32(0x00FF00FF), byte = _mm256_set1_epi32(0xFF);
    const __m256i keyRB = _mm256_set1_epi32(static_cast<int>(s.key & 0x00FF00FFu));
    const __m256i keyG = _mm256_set1_epi32(static_cast<int>((s.key >> 8) & 0xFFu));
    // Distances never pass 441, so a deviation above it compares like 442.
    const __m256i dev = _mm256_set1_epi32(static_cast<int>(s.deviation > 442 ? 442 : s.deviation));
    const bool ramp = s.soft && s.deviation != 0;
    const __m256i q = _mm256_set1_epi32(static_cast<int>(ramp ? 0xFF000000u / s.deviation : 0));
    const __m256i keep = _mm256_set1_epi32(0x00FFFFFF);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i* at = reinterpret_cast<__m256i*>(words + i);
        __m256i p = _mm256_loadu_si256(at);
        // Red and blue as two 16-bit differences per pixel, green as one.
        __m256i drb = _mm256_sub_epi16(_mm256_and_si256(p, mask16), keyRB);
        __m256i dg = _mm256_sub_epi16(_mm256_and_si256(_mm256_srli_epi32(p, 8), byte), keyG);
        __m256i squared = _mm256_add_epi32(_mm256_madd_epi16(drb, drb), _mm256_madd_epi16(dg, dg));
        __m256i dist = root8(squared);
        __m256i opaque = _mm256_cmpgt_epi32(dist, dev);
        __m256i alpha = _mm256_and_si256(opaque, byte);
        if (ramp)
            alpha = _mm256_or_si256(alpha,
                                    _mm256_andnot_si256(opaque, _mm256_srli_epi32(_mm256_mullo_epi32(dist, q), 24)));
        _mm256_storeu_si256(at, _mm256_or_si256(_mm256_and_si256(p, keep), _mm256_slli_epi32(alpha, 24)));
    }
    chromakeyReference(words + i, count - i, s); // the last few pixels
}

} // namespace alpha
} // namespace tvn

#endif
