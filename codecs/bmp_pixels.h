// Row converters from the byte orders of BMP and TGA files to pixel words
// (red in bits 0-7, alpha in 24-31). Each has a plain reference; the dispatching
// entry points take a vector path when the processor has one, proven identical
// to the reference by the tests.
#ifndef TIVORN_BMP_PIXELS_H
#define TIVORN_BMP_PIXELS_H

#include <cstddef>
#include "tivorn/types.h"

namespace tvn {
namespace px {

// Three bytes per pixel, blue, green, red: opaque words.
void bgrToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
// Four bytes per pixel, blue, green, red and an ignored fourth byte: opaque words.
void bgrxToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
// Four bytes per pixel, blue, green, red, alpha: words that keep the alpha.
void bgraToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);

// The same converters as function pointers, chosen once for a whole picture
// (the run-length reader converts many short packets).
using RowConverter = void (*)(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
RowConverter bgrConverter();
RowConverter bgrxConverter();
RowConverter bgraConverter();

namespace reference {
void bgrToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
void bgrxToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
void bgraToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
} // namespace reference

// The vector paths (x86 only; each returns how many pixels it converted, the
// caller finishes the rest with the reference).
namespace simd {
std::size_t bgrToWordsSsse3(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
std::size_t bgrToWordsAvx2(const unsigned char* src, TVN_DWORD* dst, std::size_t count);
std::size_t shuffle4Ssse3(const unsigned char* src, TVN_DWORD* dst, std::size_t count, bool keepAlpha);
std::size_t shuffle4Avx2(const unsigned char* src, TVN_DWORD* dst, std::size_t count, bool keepAlpha);
bool available(); // an x86 build, where the paths above exist
} // namespace simd

} // namespace px
} // namespace tvn

#endif
