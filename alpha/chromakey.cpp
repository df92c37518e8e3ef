// Mode 5: pixels close to the key colour become transparent.
#include "alpha/chromakey_kernels.h"

#include <cmath>

#include "pixel/bands.h"

namespace tvn {
namespace alpha {

namespace {
TVN_DWORD rootReference(TVN_DWORD squared) {
    return static_cast<TVN_DWORD>(std::sqrt(static_cast<double>(squared)));
}
} // namespace

const ChromakeyKernels& chromakeyKernels(pixel::cpu::Level level) {
    static const ChromakeyKernels reference = {chromakeyReference, rootReference};
#ifdef TVN_X86
    static const ChromakeyKernels sse2 = {chromakeySse2, chromakeyRootSse2};
    static const ChromakeyKernels avx2 = {chromakeyAvx2, chromakeyRootAvx2};
    if (level >= pixel::cpu::Level::Avx2) return avx2;
    if (level >= pixel::cpu::Level::Sse2) return sse2;
#else
    (void)level;
#endif
    return reference;
}

void applyChromakey(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s) {
    const ChromakeyKernels& k = chromakeyKernels(pixel::cpu::level());
    pixel::forEachSpan(count, std::size_t(1) << 16, pixel::BandCost::Chromakey,
                       [&](std::size_t first, std::size_t end) { k.run(words + first, end - first, s); });
}

} // namespace alpha
} // namespace tvn
