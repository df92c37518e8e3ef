// The searches of the run-length packer, one kernel table per processor level.
#ifndef TIVORN_RLE_SCAN_H
#define TIVORN_RLE_SCAN_H

#include <cstddef>

#include "pixel/cpu_features.h"
#include "tivorn/types.h"

namespace tvn::image {
namespace rle {

struct ScanKernels {
    // The first x >= from with p[x] == p[x + 1] and x + 1 < n; n when there is none.
    std::size_t (*findPair)(const TVN_DWORD* p, std::size_t from, std::size_t n);
    // The first x > from with p[x] != p[from]; n when the row ends first.
    std::size_t (*runEnd)(const TVN_DWORD* p, std::size_t from, std::size_t n);
};

// The table of the level the hot loops run at; the table of a given level.
const ScanKernels& scanKernels();
const ScanKernels& scanKernels(pixel::cpu::Level level);

namespace reference {
std::size_t findPair(const TVN_DWORD* p, std::size_t from, std::size_t n);
std::size_t runEnd(const TVN_DWORD* p, std::size_t from, std::size_t n);
} // namespace reference

#ifdef TVN_X86
void addSse2(ScanKernels& k);
void addAvx2(ScanKernels& k);
#endif

} // namespace rle
} // namespace tvn::image

#endif
