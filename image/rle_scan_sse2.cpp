// SSE2 searches of the run-length packer: four words compared per step.
#include "image/rle_scan.h"

#ifdef TVN_X86
#include <immintrin.h>

namespace tvn::image {
namespace rle {

namespace {

inline __m128i load(const TVN_DWORD* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

std::size_t findPair(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    std::size_t x = from;
    for (; x + 5 <= n; x += 4) {
        const int m = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(load(p + x), load(p + x + 1))));
        if (m) return x + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(m)));
    }
    return reference::findPair(p, x, n);
}

std::size_t runEnd(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    const __m128i v = _mm_set1_epi32(static_cast<int>(p[from]));
    std::size_t x = from + 1;
    for (; x + 4 <= n; x += 4) {
        const int m = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(load(p + x), v))) ^ 0xF;
        if (m) return x + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(m)));
    }
    // Continue the scalar walk from x - 1, which still equals p[from].
    return reference::runEnd(p, x - 1, n);
}

} // namespace

void addSse2(ScanKernels& k) {
    k.findPair = findPair;
    k.runEnd = runEnd;
}

} // namespace rle
} // namespace tvn::image

#endif
