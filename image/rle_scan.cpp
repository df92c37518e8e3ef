// Reference searches of the run-length packer and the table of each level.
#include "image/rle_scan.h"

namespace tvn::image {
namespace rle {

namespace reference {

std::size_t findPair(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    for (std::size_t x = from; x + 1 < n; ++x)
        if (p[x] == p[x + 1]) return x;
    return n;
}

std::size_t runEnd(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    std::size_t x = from + 1;
    while (x < n && p[x] == p[from]) ++x;
    return x;
}

} // namespace reference

namespace {

ScanKernels tableFor(pixel::cpu::Level level) {
    ScanKernels k = {reference::findPair, reference::runEnd};
#ifdef TVN_X86
    if (level >= pixel::cpu::Level::Sse2) addSse2(k);
    if (level >= pixel::cpu::Level::Avx2) addAvx2(k);
#else
    (void)level;
#endif
    return k;
}

} // namespace

const ScanKernels& scanKernels(pixel::cpu::Level level) {
    return pixel::cpu::tableAt<ScanKernels, tableFor>(level);
}

const ScanKernels& scanKernels() {
    return scanKernels(pixel::cpu::level());
}

} // namespace rle
} // namespace tvn::image
