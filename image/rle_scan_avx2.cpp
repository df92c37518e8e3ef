// AVX2 searches of the run-length packer: eight words compared per step.
#include "image/rle_scan.h"

#ifdef TVN_X86
#include <immintrin.h>

#define TVN_AVX2 __attribute__((target("avx2")))

namespace tvn::image {
namespace rle {

namespace {

TVN_AVX2 inline __m256i load(const TVN_DWORD* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
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
    return reference::findPair(p, x, n);
}

TVN_AVX2 std::size_t runEnd(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    const __m256i v = _mm256_set1_epi32(static_cast<int>(p[from]));
    std::size_t x = from + 1;
    for (; x + 8 <= n; x += 8) {
        const unsigned m = mask8(_mm256_cmpeq_epi32(load(p + x), v)) ^ 0xFFu;
        if (m) return x + static_cast<std::size_t>(__builtin_ctz(m));
    }
    return reference::runEnd(p, x - 1, n);
}

} // namespace

void addAvx2(ScanKernels& k) {
    k.findPair = findPair;
    k.runEnd = runEnd;
}

} // namespace rle
} // namespace tvn::image

#endif
