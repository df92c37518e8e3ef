// SSE2 row kernels of the position modes (the baseline of every x86 build).
#include "alpha/position_kernels.h"

#ifdef TVN_X86
#include <emmintrin.h>

#include <cstring>

#include "alpha/alpha_frame.h"

namespace tvn {
namespace alpha {

namespace {

__m128i withAlpha4(__m128i words, __m128i alpha) {
    return _mm_or_si128(_mm_and_si128(words, _mm_set1_epi32(0x00FFFFFF)), _mm_slli_epi32(alpha, 24));
}

void fillSse2(TVN_DWORD* words, std::size_t count, TVN_DWORD alpha) {
    const __m128i a = _mm_set1_epi32(static_cast<int>(alpha));
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* p = reinterpret_cast<__m128i*>(words + i);
        _mm_storeu_si128(p, withAlpha4(_mm_loadu_si128(p), a));
    }
    for (; i < count; ++i) words[i] = withAlpha(words[i], alpha);
}

// Four alpha values of columns x .. x + 3 for one row factor.
__m128i gradient4(const double* columns, __m128d row) {
    __m128i a0 = _mm_cvttpd_epi32(_mm_mul_pd(_mm_loadu_pd(columns), row));
    __m128i a1 = _mm_cvttpd_epi32(_mm_mul_pd(_mm_loadu_pd(columns + 2), row));
    return _mm_unpacklo_epi64(a0, a1);
}

void gradientRowSse2(TVN_DWORD* words, const double* columns, TVN_DWORD width, double factor) {
    const __m128d row = _mm_set1_pd(factor);
    TVN_DWORD x = 0;
    for (; x + 4 <= width; x += 4) {
        __m128i* p = reinterpret_cast<__m128i*>(words + x);
        _mm_storeu_si128(p, withAlpha4(_mm_loadu_si128(p), gradient4(columns + x, row)));
    }
    for (; x < width; ++x) words[x] = withAlpha(words[x], gradientAlpha(columns[x], factor));
}

void gradientRowsSse2(TVN_DWORD* lower, TVN_DWORD* upper, const double* columns, TVN_DWORD width,
                      double lowerFactor, double upperFactor) {
    gradientRowSse2(lower, columns, width, lowerFactor);
    if (upper) gradientRowSse2(upper, columns, width, upperFactor);
}

void ellipseRowSse2(const EllipseShape& s, double dy2, bool axis, TVN_DWORD first, TVN_DWORD count,
                    unsigned char* out) {
    const __m128d a = _mm_set1_pd(s.a), a2 = _mm_set1_pd(s.a2), b2 = _mm_set1_pd(s.b2);
    const __m128d a2b2 = _mm_set1_pd(s.a2b2), a2dy2 = _mm_set1_pd(s.a2 * dy2), vdy2 = _mm_set1_pd(dy2);
    const __m128d centre = _mm_set1_pd(s.centre), border = _mm_set1_pd(s.border);
    const __m128d one = _mm_set1_pd(1.0), k255 = _mm_set1_pd(255.0), k100 = _mm_set1_pd(100.0);
    TVN_DWORD i = 0;
    for (; i + 2 <= count; i += 2) {
        double x0 = static_cast<double>(first + i);
        __m128d dx = _mm_sub_pd(_mm_set_pd(x0 + 1.0, x0), a);
        __m128d dx2 = _mm_mul_pd(dx, dx);
        __m128d d2 = _mm_add_pd(dx2, vdy2);
        __m128d r2 = axis ? a2 : _mm_div_pd(_mm_mul_pd(a2b2, d2), _mm_add_pd(_mm_mul_pd(b2, dx2), a2dy2));
        __m128d t = _mm_div_pd(d2, r2);
        __m128d mix = _mm_add_pd(_mm_mul_pd(centre, _mm_sub_pd(one, t)), _mm_mul_pd(border, t));
        __m128d value = _mm_div_pd(_mm_mul_pd(k255, mix), k100);
        // Outside the ellipse: +0.0, which truncates to alpha 0.
        value = _mm_and_pd(value, _mm_cmple_pd(d2, r2));
        __m128i alpha = _mm_cvttpd_epi32(value);
        out[i] = static_cast<unsigned char>(_mm_cvtsi128_si32(alpha));
        out[i + 1] = static_cast<unsigned char>(_mm_cvtsi128_si32(_mm_srli_si128(alpha, 4)));
    }
    for (; i < count; ++i) {
        double dx = (first + i) - s.a;
        double dx2 = dx * dx;
        out[i] = static_cast<unsigned char>(ellipseAlphaFrom(s, dx2 + dy2, ellipseRay2(s, dx2, dy2, false, axis)));
    }
}

} // namespace

const PositionKernels& positionKernelsSse2() {
    static const PositionKernels k = {fillSse2, gradientRowsSse2, ellipseRowSse2};
    return k;
}

} // namespace alpha
} // namespace tvn

#endif
