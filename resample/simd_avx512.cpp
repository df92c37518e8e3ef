// AVX-512 (F and BW) primitives.
// GCC 12 warns about the deliberately undefined registers inside its own
// AVX-512 intrinsics (_mm512_undefined_epi32); nothing of this file is meant.
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include "resample/simd.h"

#ifdef TVN_X86
#include <immintrin.h>

#include <cstring>

#define TVN_SIMD_TARGET __attribute__((target("avx512f,avx512bw")))

namespace {

struct V {
    typedef __m512i reg;
    static const int kBytes = 64;
    TVN_SIMD_TARGET static reg load(const void* p) { return _mm512_loadu_si512(p); }
    TVN_SIMD_TARGET static void store(void* p, reg x) { _mm512_storeu_si512(p, x); }
    TVN_SIMD_TARGET static reg zero() { return _mm512_setzero_si512(); }
    TVN_SIMD_TARGET static reg set1(std::uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
    TVN_SIMD_TARGET static reg lo(reg x) { return _mm512_unpacklo_epi8(x, _mm512_setzero_si512()); }
    TVN_SIMD_TARGET static reg hi(reg x) { return _mm512_unpackhi_epi8(x, _mm512_setzero_si512()); }
    TVN_SIMD_TARGET static reg mulhi(reg a, reg b) { return _mm512_mulhi_epu16(a, b); }
    TVN_SIMD_TARGET static reg add(reg a, reg b) { return _mm512_add_epi16(a, b); }
    TVN_SIMD_TARGET static reg sub(reg a, reg b) { return _mm512_sub_epi16(a, b); }
    TVN_SIMD_TARGET static reg low8(reg a) { return _mm512_and_si512(a, _mm512_set1_epi16(0xFF)); }
    TVN_SIMD_TARGET static reg srl(reg a, unsigned n) {
        return _mm512_srl_epi16(a, _mm_cvtsi32_si128(static_cast<int>(n)));
    }
    TVN_SIMD_TARGET static reg pack(reg a, reg b) { return _mm512_packus_epi16(a, b); }
};

#include "resample/simd_body.h"

// 16 x 16 words: rows interleaved in pairs and fours within the 128-bit lanes,
// then the lanes gathered in two rounds of lane shuffles.
TVN_SIMD_TARGET void transpose16(const TVN_DWORD* src, std::size_t ss, TVN_DWORD* dst, std::size_t ds) {
    __m512i r[16], a[16], b[16];
    for (int i = 0; i < 16; ++i) r[i] = V::load(src + i * ss);
    for (int i = 0; i < 8; ++i) {
        a[2 * i] = _mm512_unpacklo_epi32(r[2 * i], r[2 * i + 1]);
        a[2 * i + 1] = _mm512_unpackhi_epi32(r[2 * i], r[2 * i + 1]);
    }
    for (int g = 0; g < 4; ++g) {
        b[4 * g + 0] = _mm512_unpacklo_epi64(a[4 * g], a[4 * g + 2]);
        b[4 * g + 1] = _mm512_unpackhi_epi64(a[4 * g], a[4 * g + 2]);
        b[4 * g + 2] = _mm512_unpacklo_epi64(a[4 * g + 1], a[4 * g + 3]);
        b[4 * g + 3] = _mm512_unpackhi_epi64(a[4 * g + 1], a[4 * g + 3]);
    }
    // b[4g + c], lane L: rows 4g .. 4g+3 of column 4L + c.
    for (int c = 0; c < 4; ++c) {
        __m512i e0 = _mm512_shuffle_i32x4(b[c], b[4 + c], 0x88), e1 = _mm512_shuffle_i32x4(b[c], b[4 + c], 0xDD);
        __m512i f0 = _mm512_shuffle_i32x4(b[8 + c], b[12 + c], 0x88);
        __m512i f1 = _mm512_shuffle_i32x4(b[8 + c], b[12 + c], 0xDD);
        V::store(dst + c * ds, _mm512_shuffle_i32x4(e0, f0, 0x88));
        V::store(dst + (4 + c) * ds, _mm512_shuffle_i32x4(e1, f1, 0x88));
        V::store(dst + (8 + c) * ds, _mm512_shuffle_i32x4(e0, f0, 0xDD));
        V::store(dst + (12 + c) * ds, _mm512_shuffle_i32x4(e1, f1, 0xDD));
    }
}

// (c * m) >> 16 is trunc(c * (m / 65536)), a product that doubles hold exactly.
TVN_SIMD_TARGET bool fits(double v, std::uint32_t m) {
    const __m512d weight = _mm512_set1_pd(v), fixed = _mm512_set1_pd(m / 65536.0), step = _mm512_set1_pd(8.0);
    __m512d c = _mm512_setr_pd(0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0);
    __m256i diff = _mm256_setzero_si256();
    for (int i = 0; i < 32; ++i, c = _mm512_add_pd(c, step)) {
        __m256i t = _mm512_cvttpd_epi32(_mm512_mul_pd(c, weight));
        __m256i q = _mm512_cvttpd_epi32(_mm512_mul_pd(c, fixed));
        diff = _mm256_or_si256(diff, _mm256_xor_si256(t, q));
    }
    return _mm256_testz_si256(diff, diff) != 0;
}

TVN_SIMD_TARGET void combine(const tvn::resample::simd::CombineJob& job) { combineImpl<V>(job); }
TVN_SIMD_TARGET void boxRun(const tvn::resample::simd::BoxJob& job) { boxRunImpl<V>(job); }

const tvn::resample::simd::Ops kOps = {"avx512", transpose16, combine, boxRun, fits};

} // namespace

const tvn::resample::simd::Ops* tvn::resample::simd::opsAvx512() {
    return &kOps;
}

#endif
