// AVX2 row kernels of the position modes, chosen at run time.
#include "alpha/position_kernels.h"

#ifdef TVN_X86
#include <immintrin.h>

#include "alpha/alpha_frame.h"

#define TVN_AVX2 __attribute__((target("avx2")))

namespace tvn {
namespace alpha {

namespace {

TVN_AVX2 __m256i withAlpha8(__m256i words, __m256i alpha) {
    return _mm256_or_si256(_mm256_and_si256(words, _mm256_set1_epi32(0x00FFFFFF)), _mm256_slli_epi32(alpha, 24));
}

TVN_AVX2 void fillAvx2(TVN_DWORD* words, std::size_t count, TVN_DWORD alpha) {
    const __m256i a = _mm256_set1_epi32(static_cast<int>(alpha));
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i* p = reinterpret_cast<__m256i*>(words + i);
        _mm256_storeu_si256(p, withAlpha8(_mm256_loadu_si256(p), a));
    }
    for (; i < count; ++i) words[i] = withAlpha(words[i], alpha);
}

// Alpha of columns x .. x + 7 for one row factor.
TVN_AVX2 __m256i gradient8(__m256d c0, __m256d c1, __m256d row) {
    __m128i a0 = _mm256_cvttpd_epi32(_mm256_mul_pd(c0, row));
    __m128i a1 = _mm256_cvttpd_epi32(_mm256_mul_pd(c1, row));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(a0), a1, 1);
}

TVN_AVX2 void blend8(TVN_DWORD* words, __m256i alpha) {
    __m256i* p = reinterpret_cast<__m256i*>(words);
    _mm256_storeu_si256(p, withAlpha8(_mm256_loadu_si256(p), alpha));
}

// The column loads are shared by two rows: the pass is bound by the
// conversions and the pixel traffic, not by the table.
TVN_AVX2 void gradientRowsAvx2(TVN_DWORD* lower, TVN_DWORD* upper, const double* columns, TVN_DWORD width,
                               double lowerFactor, double upperFactor) {
    const __m256d v0 = _mm256_set1_pd(lowerFactor), v1 = _mm256_set1_pd(upperFactor);
    TVN_DWORD x = 0;
    if (upper) {
        for (; x + 8 <= width; x += 8) {
            __m256d c0 = _mm256_loadu_pd(columns + x), c1 = _mm256_loadu_pd(columns + x + 4);
            blend8(lower + x, gradient8(c0, c1, v0));
            blend8(upper + x, gradient8(c0, c1, v1));
        }
        for (TVN_DWORD i = x; i < width; ++i) upper[i] = withAlpha(upper[i], gradientAlpha(columns[i], upperFactor));
    } else {
        for (; x + 8 <= width; x += 8)
            blend8(lower + x, gradient8(_mm256_loadu_pd(columns + x), _mm256_loadu_pd(columns + x + 4), v0));
    }
    for (; x < width; ++x) lower[x] = withAlpha(lower[x], gradientAlpha(columns[x], lowerFactor));
}

TVN_AVX2 void ellipseRowAvx2(const EllipseShape& s, double dy2, bool axis, TVN_DWORD first, TVN_DWORD count,
                             unsigned char* out) {
    const __m256d a = _mm256_set1_pd(s.a), a2 = _mm256_set1_pd(s.a2), b2 = _mm256_set1_pd(s.b2);
    const __m256d a2b2 = _mm256_set1_pd(s.a2b2), a2dy2 = _mm256_set1_pd(s.a2 * dy2);
    const __m256d vdy2 = _mm256_set1_pd(dy2);
    const __m256d centre = _mm256_set1_pd(s.centre), border = _mm256_set1_pd(s.border);
    const __m256d one = _mm256_set1_pd(1.0), k255 = _mm256_set1_pd(255.0), k100 = _mm256_set1_pd(100.0);
    const __m256d step = _mm256_set_pd(3.0, 2.0, 1.0, 0.0);
    TVN_DWORD i = 0;
    for (; i + 4 <= count; i += 4) {
        __m256d dx = _mm256_sub_pd(_mm256_add_pd(_mm256_set1_pd(static_cast<double>(first + i)), step), a);
        __m256d dx2 = _mm256_mul_pd(dx, dx);
        __m256d d2 = _mm256_add_pd(dx2, vdy2);
        __m256d r2 = axis ? a2
                          : _mm256_div_pd(_mm256_mul_pd(a2b2, d2),
                                          _mm256_add_pd(_mm256_mul_pd(b2, dx2), a2dy2));
        __m256d t = _mm256_div_pd(d2, r2);
        __m256d mix = _mm256_add_pd(_mm256_mul_pd(centre, _mm256_sub_pd(one, t)), _mm256_mul_pd(border, t));
        __m256d value = _mm256_div_pd(_mm256_mul_pd(k255, mix), k100);
        // Outside the ellipse: +0.0, which truncates to alpha 0.
        value = _mm256_and_pd(value, _mm256_cmp_pd(d2, r2, _CMP_LE_OQ));
        __m128i alpha = _mm256_cvttpd_epi32(value);
        alpha = _mm_packus_epi16(_mm_packs_epi32(alpha, alpha), alpha);
        unsigned bytes = static_cast<unsigned>(_mm_cvtsi128_si32(alpha));
        for (int k = 0; k < 4; ++k) out[i + k] = static_cast<unsigned char>(bytes >> (8 * k));
    }
    for (; i < count; ++i) {
        double dx = (first + i) - s.a;
        double dx2 = dx * dx;
        out[i] = static_cast<unsigned char>(ellipseAlphaFrom(s, dx2 + dy2, ellipseRay2(s, dx2, dy2, false, axis)));
    }
}

} // namespace

const PositionKernels& positionKernelsAvx2() {
    static const PositionKernels k = {fillAvx2, gradientRowsAvx2, ellipseRowAvx2};
    return k;
}

} // namespace alpha
} // namespace tvn

#endif
