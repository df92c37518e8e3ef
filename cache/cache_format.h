// The bytes of an animation cache file. Fields are read and written byte by byte
// (little-endian), never by laying a structure over the bytes, so the file is the
// same on every build.
//
//   0          19 bytes  "KovraAnimationCache"
//   19         entry records, each followed by its frame records
//   T          4 x E     offsets of the entry records
//   end - 4    4         E, the number of entries
//
//   entry: L, name (L bytes), N, N frame record offsets
//   frame: L, name (L bytes), FILETIME (low, high), W, H, S, S packed bytes
#ifndef TIVORN_CACHE_FORMAT_H
#define TIVORN_CACHE_FORMAT_H

#include "tivorn/types.h"

namespace tvn {
namespace cache {

const char kMagic[] = "KovraAnimationCache";
const TVN_DWORD kMagicSize = 19;
const TVN_DWORD kEmptyCacheSize = kMagicSize + 4;
const TVN_DWORD kEntryFixedSize = 8;  // L and N
const TVN_DWORD kFrameFixedSize = 24; // L, FILETIME, W, H, S
const TVN_DWORD kFrameSizeFields = 12; // from the name's end: FILETIME, then W and H at +8

static_assert(sizeof(kMagic) == kMagicSize + 1, "the magic is 19 bytes without its terminator");

// The largest number of pixels a packed stream of `bytes` bytes can hold: a run
// packet is a header byte and one pixel for up to 128 pixels.
inline unsigned long long maxPackedPixels(TVN_DWORD bytes) {
    return static_cast<unsigned long long>(bytes / 5) * 128u;
}

inline TVN_DWORD getU32(const unsigned char* p) {
    return static_cast<TVN_DWORD>(p[0]) | (static_cast<TVN_DWORD>(p[1]) << 8) |
           (static_cast<TVN_DWORD>(p[2]) << 16) | (static_cast<TVN_DWORD>(p[3]) << 24);
}

inline void putU32(unsigned char* p, TVN_DWORD v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline FILETIME getFileTime(const unsigned char* p) {
    FILETIME t;
    t.dwLowDateTime = getU32(p);
    t.dwHighDateTime = getU32(p + 4);
    return t;
}

inline void putFileTime(unsigned char* p, const FILETIME& t) {
    putU32(p, static_cast<TVN_DWORD>(t.dwLowDateTime));
    putU32(p + 4, static_cast<TVN_DWORD>(t.dwHighDateTime));
}

// Record sizes in 64 bits, so no count read from a file can wrap them.
inline unsigned long long entryRecordSize(TVN_DWORD nameLength, TVN_DWORD frames) {
    return kEntryFixedSize + static_cast<unsigned long long>(nameLength) + 4ull * frames;
}

inline unsigned long long frameRecordSize(TVN_DWORD nameLength, TVN_DWORD packedLength) {
    return kFrameFixedSize + static_cast<unsigned long long>(nameLength) + packedLength;
}

} // namespace cache
} // namespace tvn

#endif
