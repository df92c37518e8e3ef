// The records of a GIF file, as the reader fills them from the file's bytes.
#ifndef TIVORN_GIF_FORMAT_H
#define TIVORN_GIF_FORMAT_H

#include "tivorn/types.h"

// Logical screen: 7 bytes after the signature.
struct GIF_SCREEN_DESCR {
    unsigned short wWidth;
    unsigned short wHeight;
    unsigned char byFlags;      // bit 7: global colour table; bits 0-2: its size code
    unsigned char byBackground; // not used: the screen is filled with global colour 0
    unsigned char byAspect;     // not used
};

// One image: 9 bytes after its 0x2C.
struct GIF_IMAGE_DESCR {
    unsigned short wLeft;
    unsigned short wTop;
    unsigned short wWidth;
    unsigned short wHeight;
    unsigned char byFlags; // bit 7: local colour table; bit 6: interlaced; bits 0-2: size code
};

namespace tvn::codecs {
namespace gif {

const unsigned char kExtension = 0x21;
const unsigned char kImage = 0x2C;
const unsigned char kTrailer = 0x3B;

const unsigned char kFlagColorTable = 0x80;
const unsigned char kFlagInterlaced = 0x40;
const unsigned char kSizeCodeMask = 0x07;

const TVN_DWORD kTableEntries = 4096; // LZW codes are at most 12 bits

// A colour-table entry (red, green, blue) as an opaque pixel word.
inline TVN_DWORD pixelOf(const unsigned char* rgb) {
    return 0xFF000000u | (TVN_DWORD(rgb[2]) << 16) | (TVN_DWORD(rgb[1]) << 8) | rgb[0];
}

} // namespace gif
} // namespace tvn::codecs

#endif
