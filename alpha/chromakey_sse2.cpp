// SSE2 chromakey (the baseline of every x86 build), four pixels at a time.
#include <cmath>

#include "alpha/alpha_frame.h"
#include "alpha/chromakey_kernels.h"

#ifdef TVN_X86
#include <emmintrin.h>

namespace tvn {
namespace alpha {

namespace {

// Low 32 bits of the lane-wise product (SSE2 has no 32-bit multiply).
__m128i mulLow32(__m128i a, __m128i b) {
    __m128i even = _mm_mul_epu32(a, b);
    __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// Truncated root of four squared distances (0 .. kMaxSquaredDistance).
__m128i root4(__m128i squared) {
    return _mm_cvttps_epi32(_mm_sqrt_ps(_mm_cvtepi32_ps(squared)));
}

} // namespace

TVN_DWORD chromakeyRootSse2(TVN_DWORD squared) {
    return static_cast<TVN_DWORD>(_mm_cvtsi128_si32(root4(_mm_set1_epi32(static_cast<int>(squared)))));
}

void chromakeySse2(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s) {
    const __m128i mask16 = _mm_set1_epi32(0x00FF00FF), byte = _mm_set1_epi32(0xFF);
    const __m128i keyRB = _mm_set1_epi32(static_cast<int>(s.key & 0x00FF00FFu));
    const __m128i keyG = _mm_set1_epi32(static_cast<int>((s.key >> 8) & 0xFFu));
    // Distances never pass 441, so a deviation above it compares like 442.
    const __m128i dev = _mm_set1_epi32(static_cast<int>(s.deviation > 442 ? 442 : s.deviation));
    const bool ramp = s.soft && s.deviation != 0;
    const __m128i q = _mm_set1_epi32(static_cast<int>(ramp ? 0xFF000000u / s.deviation : 0));
    const __m128i keep = _mm_set1_epi32(0x00FFFFFF);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(words + i);
        __m128i p = _mm_loadu_si128(at);
        // Red and blue as two 16-bit differences per pixel, green as one.
        __m128i drb = _mm_sub_epi16(_mm_and_si128(p, mask16), keyRB);
        __m128i dg = _mm_sub_epi16(_mm_and_si128(_mm_srli_epi32(p, 8), byte), keyG);
        __m128i squared = _mm_add_epi32(_mm_madd_epi16(drb, drb), _mm_madd_epi16(dg, dg));
        __m128i dist = root4(squared);
        __m128i opaque = _mm_cmpgt_epi32(dist, dev);
        __m128i alpha = _mm_and_si128(opaque, byte);
        if (ramp) alpha = _mm_or_si128(alpha, _mm_andnot_si128(opaque, _mm_srli_epi32(mulLow32(dist, q), 24)));
        _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(p, keep), _mm_slli_epi32(alpha, 24)));
    }
    chromakeyReference(words + i, count - i, s); // the last few pixels
}

} // namespace alpha
} // namespace tvn

#endif
