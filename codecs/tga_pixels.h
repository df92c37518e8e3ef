// One TGA pixel value to a pixel word, for the plain and the run-length reader.
#ifndef TIVORN_TGA_PIXELS_H
#define TIVORN_TGA_PIXELS_H

#include "tivorn/types.h"

namespace tvn::codecs {
namespace tga {

// A 5-bit field scaled to 0..255 (x * 255 / 31, truncated).
extern const unsigned char kScale5[32];

// Depth 16: blue in bits 0-4, green 5-9, red 10-14; bit 15 ignored; opaque.
inline TVN_DWORD word16(unsigned v) {
    return 0xFF000000u | (static_cast<TVN_DWORD>(kScale5[v & 31]) << 16) |
           (static_cast<TVN_DWORD>(kScale5[(v >> 5) & 31]) << 8) | kScale5[(v >> 10) & 31];
}

inline TVN_DWORD wordBGR(const unsigned char* p, unsigned alpha) {
    return (static_cast<TVN_DWORD>(alpha) << 24) | (static_cast<TVN_DWORD>(p[0]) << 16) |
           (static_cast<TVN_DWORD>(p[1]) << 8) | p[2];
}

// Bytes a run-length pixel value takes: 2 at depth 16, 4 at depth 32 (the
// fourth is alpha), 3 (blue, green, red) at every other depth.
inline unsigned rleValueBytes(unsigned depth) {
    return depth == 16 ? 2 : depth == 32 ? 4 : 3;
}

// A run-length pixel value of rleValueBytes(depth) bytes.
inline TVN_DWORD rleWord(const unsigned char* p, unsigned depth) {
    if (depth == 16) return word16(p[0] | (static_cast<unsigned>(p[1]) << 8));
    return wordBGR(p, depth == 32 ? p[3] : 255);
}

} // namespace tga
} // namespace tvn::codecs

#endif
