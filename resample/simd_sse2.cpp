// SSE2 primitives: the baseline of every x86 build, the 32-bit DLL included.
#include "resample/simd.h"

#ifdef TVN_X86
#include <emmintrin.h>

#include <cstring>

#define TVN_SIMD_TARGET __attribute__((target("sse2")))

namespace {

struct V {
    typedef __m128i reg;
    static const int kBytes = 16;
    TVN_SIMD_TARGET static reg load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
    TVN_SIMD_TARGET static void store(void* p, reg x) { _mm_storeu_si128(static_cast<__m128i*>(p), x); }
    TVN_SIMD_TARGET static reg zero() { return _mm_setzero_si128(); }
    TVN_SIMD_TARGET static reg set1(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    TVN_SIMD_TARGET static reg lo(reg x) { return _mm_unpacklo_epi8(x, _mm_setzero_si128()); }
    TVN_SIMD_TARGET static reg hi(reg x) { return _mm_unpackhi_epi8(x, _mm_setzero_si128()); }
    TVN_SIMD_TARGET static reg mulhi(reg a, reg b) { return _mm_mulhi_epu16(a, b); }
    TVN_SIMD_TARGET static reg add(reg a, reg b) { return _mm_add_epi16(a, b); }
    TVN_SIMD_TARGET static reg sub(reg a, reg b) { return _mm_sub_epi16(a, b); }
    TVN_SIMD_TARGET static reg low8(reg a) { return _mm_and_si128(a, _mm_set1_epi16(0xFF)); }
    TVN_SIMD_TARGET static reg srl(reg a, unsigned n) { return _mm_srl_epi16(a, _mm_cvtsi32_si128(static_cast<int>(n))); }
    TVN_SIMD_TARGET static reg pack(reg a, reg b) { return _mm_packus_epi16(a, b); }
};

#include "resample/simd_body.h"

TVN_SIMD_TARGET void transpose4(const TVN_DWORD* src, std::size_t ss, TVN_DWORD* dst, std::size_t ds) {
    __m128i r0 = V::load(src), r1 = V::load(src + ss), r2 = V::load(src + 2 * ss), r3 = V::load(src + 3 * ss);
    __m128i a0 = _mm_unpacklo_epi32(r0, r1), a1 = _mm_unpacklo_epi32(r2, r3);
    __m128i a2 = _mm_unpackhi_epi32(r0, r1), a3 = _mm_unpackhi_epi32(r2, r3);
    V::store(dst, _mm_unpacklo_epi64(a0, a1));
    V::store(dst + ds, _mm_unpackhi_epi64(a0, a1));
    V::store(dst + 2 * ds, _mm_unpacklo_epi64(a2, a3));
    V::store(dst + 3 * ds, _mm_unpackhi_epi64(a2, a3));
}

TVN_SIMD_TARGET void transpose16(const TVN_DWORD* src, std::size_t ss, TVN_DWORD* dst, std::size_t ds) {
    for (std::size_t r = 0; r < 16; r += 4)
        for (std::size_t c = 0; c < 16; c += 4) transpose4(src + r * ss + c, ss, dst + c * ds + r, ds);
}

void combine(const tvn::resample::simd::CombineJob& job) { combineImpl<V>(job); }
void boxRun(const tvn::resample::simd::BoxJob& job) { boxRunImpl<V>(job); }

const tvn::resample::simd::Ops kOps = {"sse2", transpose16, combine, boxRun, tvn::resample::fitsReference};

} // namespace

const tvn::resample::simd::Ops* tvn::resample::simd::opsSse2() {
    return &kOps;
}

#endif
