// Mode 5: pixels close to the key colour become transparent.
#include "chromakey_kernels.h"
#include "pixel/cpu_features.h"

namespace tvn {
namespace alpha {

void applyChromakey(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s) {
    if (cpu::hasAvx2()) return chromakeyAvx2(words, count, s);
    if (cpu::hasSse2()) return chromakeySse2(words, count, s);
    chromakeyReference(words, count, s);
}

} // namespace alpha
} // namespace tvn
