// AVX2 primitives.
#include "resample/simd.h"

#ifdef TVN_X86
#include <immintrin.h>

#include <cstring>

#define TVN_SIMD_TARGET __attribute__((target("avx2")))

namespace {

struct V {
    typedef __m256i reg;
    static const int kBytes = 32;
    TVN_SIMD_TARGET static reg load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
    TVN_SIMD_TARGET static void store(void* p, reg x) { _mm256_storeu_si256(static_cast<__m256i*>(p), x); }
    TVN_SIMD_TARGET static reg zero() { return _mm256_setzero_si256(); }
    TVN_SIMD_TARGET static reg set1(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    TVN_SIMD_TARGET static reg lo(reg x) { return _mm256_unpacklo_epi8(x, _mm256_setzero_si256()); }
    TVN_SIMD_TARGET static reg hi(reg x) { return _mm256_unpackhi_epi8(x, _mm256_setzero_si256()); }
    TVN_SIMD_TARGET static reg mulhi(reg a, reg b) { return _mm256_mulhi_epu16(a, b); }
    TVN_SIMD_TARGET static reg add(reg a, reg b) { return _mm256_add_epi16(a, b); }
    TVN_SIMD_TARGET static reg sub(reg a, reg b) { return _mm256_sub_epi16(a, b); }
    TVN_SIMD_TARGET static reg low8(reg a) { return _mm256_and_si256(a, _mm256_set1_epi16(0xFF)); }
    TVN_SIMD_TARGET static reg srl(reg a, unsigned n) {
        return _mm256_srl_epi16(a, _mm_cvtsi32_si128(static_cast<int>(n)));
    }
    TVN_SIMD_TARGET static reg pack(reg a, reg b) { return _mm256_packus_epi16(a, b); }
};

#include "resample/simd_body.h"

// 8 x 8 words: pairs of rows interleaved, then pairs of pairs, then the halves.
TVN_SIMD_TARGET void transpose8(const TVN_DWORD* src, std::size_t ss, TVN_DWORD* dst, std::size_t ds) {
    __m256i r[8], a[8], b[8];
    for (int i = 0; i < 8; ++i) r[i] = V::load(src + i * ss);
    for (int i = 0; i < 4; ++i) {
        a[2 * i] = _mm256_unpacklo_epi32(r[2 * i], r[2 * i + 1]);
        a[2 * i + 1] = _mm256_unpackhi_epi32(r[2 * i], r[2 * i + 1]);
    }
    for (int g = 0; g < 2; ++g) {
        b[4 * g + 0] = _mm256_unpacklo_epi64(a[4 * g], a[4 * g + 2]);
        b[4 * g + 1] = _mm256_unpackhi_epi64(a[4 * g], a[4 * g + 2]);
        b[4 * g + 2] = _mm256_unpacklo_epi64(a[4 * g + 1], a[4 * g + 3]);
        b[4 * g + 3] = _mm256_unpackhi_epi64(a[4 * g + 1], a[4 * g + 3]);
    }
    for (int c = 0; c < 4; ++c) {
        V::store(dst + c * ds, _mm256_permute2x128_si256(b[c], b[4 + c], 0x20));
        V::store(dst + (4 + c) * ds, _mm256_permute2x128_si256(b[c], b[4 + c], 0x31));
    }
}

TVN_SIMD_TARGET void transpose16(const TVN_DWORD* src, std::size_t ss, TVN_DWORD* dst, std::size_t ds) {
    for (std::size_t r = 0; r < 16; r += 8)
        for (std::size_t c = 0; c < 16; c += 8) transpose8(src + r * ss + c, ss, dst + c * ds + r, ds);
}

// (c * m) >> 16 is trunc(c * (m / 65536)), a product that doubles hold exactly.
TVN_SIMD_TARGET bool fits(double v, std::uint32_t m) {
    const __m256d weight = _mm256_set1_pd(v), fixed = _mm256_set1_pd(m / 65536.0), step = _mm256_set1_pd(4.0);
    __m256d c = _mm256_setr_pd(0.0, 1.0, 2.0, 3.0);
    __m128i diff = _mm_setzero_si128();
    for (int i = 0; i < 64; ++i, c = _mm256_add_pd(c, step)) {
        __m128i t = _mm256_cvttpd_epi32(_mm256_mul_pd(c, weight));
        __m128i q = _mm256_cvttpd_epi32(_mm256_mul_pd(c, fixed));
        diff = _mm_or_si128(diff, _mm_xor_si128(t, q));
    }
    return _mm_movemask_epi8(_mm_cmpeq_epi32(diff, _mm_setzero_si128())) == 0xFFFF;
}

TVN_SIMD_TARGET void combine(const tvn::resample::simd::CombineJob& job) { combineImpl<V>(job); }
TVN_SIMD_TARGET void boxRun(const tvn::resample::simd::BoxJob& job) { boxRunImpl<V>(job); }

const tvn::resample::simd::Ops kOps = {"avx2", transpose16, combine, boxRun, fits};

} // namespace

const tvn::resample::simd::Ops* tvn::resample::simd::opsAvx2() {
    return &kOps;
}

#endif
