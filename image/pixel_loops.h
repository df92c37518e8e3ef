// The hot loops of the layout conversions and the run-length packer.
// Every loop has a plain scalar reference; faster vector versions are chosen once
// per call by the processor's features and must give the same bytes.
#ifndef TIVORN_PIXEL_LOOPS_H
#define TIVORN_PIXEL_LOOPS_H

#include <cstddef>

#include "tivorn/types.h"

namespace tvn {
namespace loops {

struct Kernels {
    // Each word becomes grey (9798 R + 19235 G + 3736 B) >> 15 with its own alpha.
    void (*grey)(TVN_DWORD* p, std::size_t n);
    // Exchanges the red and blue bytes of each word in place.
    void (*swapRB)(TVN_DWORD* p, std::size_t n);
    // Writes each word as the bytes blue, green, red, alpha; dst may be unaligned.
    void (*bgra32)(const TVN_DWORD* src, unsigned char* dst, std::size_t n);
    // Writes each word as the bytes blue, green, red.
    void (*bgr24)(const TVN_DWORD* src, unsigned char* dst, std::size_t n);
    // Writes each word most significant byte first (alpha, blue, green, red).
    void (*bigEndian)(const TVN_DWORD* src, unsigned char* dst, std::size_t n);
    // The first x >= from with p[x] == p[x + 1] and x + 1 < n; n when there is none.
    std::size_t (*findPair)(const TVN_DWORD* p, std::size_t from, std::size_t n);
    // The first x > from with p[x] != p[from]; n when the row ends first.
    std::size_t (*runEnd)(const TVN_DWORD* p, std::size_t from, std::size_t n);
};

const Kernels& reference();
// The fastest set this processor runs (the reference while it is forced).
const Kernels& active();

namespace detail {
// Vector sets, null when the processor or the build lacks them.
const Kernels* sse2Kernels();
const Kernels* avx2Kernels();
} // namespace detail

} // namespace loops
} // namespace tvn

#endif
