// Rows of pixel words (red in bits 0-7, alpha in 24-31) to and from the byte
// orders of files, bitmaps and hosts, and the in-place word conversions. One
// kernel table per processor level; every vector kernel gives the reference's
// bytes and finishes the last pixels of a row with it.
#ifndef TIVORN_PIXEL_ROWS_H
#define TIVORN_PIXEL_ROWS_H

#include <cstddef>

#include "pixel/cpu_features.h"
#include "tivorn/types.h"

namespace tvn::pixel {
namespace rows {

using ToWords = void (*)(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
using FromWords = void (*)(const TVN_DWORD* src, unsigned char* dst, std::size_t count);
using InPlace = void (*)(TVN_DWORD* words, std::size_t count);

struct RowKernels {
    // Three bytes per pixel, blue, green, red: opaque words.
    ToWords bgrToWords;
    // Four bytes per pixel, blue, green, red and an ignored fourth: opaque words.
    ToWords bgrxToWords;
    // Four bytes per pixel, blue, green, red, alpha: words that keep the alpha.
    ToWords bgraToWords;
    // Each word as the bytes blue, green, red, alpha.
    FromWords wordsToBgra;
    // Each word as the bytes blue, green, red.
    FromWords wordsToBgr;
    // Each word most significant byte first: alpha, blue, green, red.
    FromWords wordsToBigEndian;
    // Four bytes per pixel, most significant first (alpha, blue, green, red): words.
    ToWords bigEndianToWords;
    // Exchanges the red and blue bytes of each word.
    InPlace swapRB;
    // Each word becomes grey (9798 R + 19235 G + 3736 B) >> 15 with its own alpha.
    InPlace grey;
};

// The table of the level the hot loops run at; the table of a given level.
const RowKernels& rowKernels();
const RowKernels& rowKernels(cpu::Level level);

namespace reference {
void bgrToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
void bgrxToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
void bgraToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
void wordsToBgra(const TVN_DWORD* src, unsigned char* dst, std::size_t count);
void wordsToBgr(const TVN_DWORD* src, unsigned char* dst, std::size_t count);
void wordsToBigEndian(const TVN_DWORD* src, unsigned char* dst, std::size_t count);
void bigEndianToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
void swapRB(TVN_DWORD* words, std::size_t count);
void grey(TVN_DWORD* words, std::size_t count);
} // namespace reference

#ifdef TVN_X86
// Each replaces the kernels its instruction set speeds up.
void addSse2(RowKernels& k);
void addSsse3(RowKernels& k);
void addAvx2(RowKernels& k);
#endif

} // namespace rows
} // namespace tvn::pixel

#endif
