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

// The fields of a frame record after its name: the source's time stamp, the
// frame's size and the length of its packed pixels, which follow them. Every
// reader and writer of a frame record goes through these.
struct FRAME_FIELDS {
    FILETIME lastWrite;
    TVN_DWORD width;
    TVN_DWORD height;
    TVN_DWORD packedLength;
};
const TVN_DWORD kFrameFieldsSize = 20;
const TVN_DWORD kFrameSizeAt = 8;    // W and H, within the fields
const TVN_DWORD kPackedLengthAt = 16; // S, within the fields

// Where the fields of the frame record at `record` with a name of `nameLength`
// bytes begin, in 64 bits (a record near the end of a 4 GB file).
inline unsigned long long frameFieldsAt(TVN_DWORD record, TVN_DWORD nameLength) {
    return static_cast<unsigned long long>(record) + 4 + nameLength;
}

inline void putFrameFields(unsigned char* p, const FRAME_FIELDS& f) {
    putFileTime(p, f.lastWrite);
    putU32(p + 8, f.width);
    putU32(p + 12, f.height);
    putU32(p + 16, f.packedLength);
}

// The parts of the fields a reader asks for, each read on its own: the time
// stamp (opening a cache), the size (the size query reads no more), the size and
// the packed length (pixels, and the save stepping over a frame).
enum FrameFieldsPart { FieldsStamp, FieldsSize, FieldsSizeAndLength };

inline void partOfFields(FrameFieldsPart part, TVN_DWORD* from, TVN_DWORD* length) {
    *from = part == FieldsStamp ? 0 : kFrameSizeAt;
    *length = part == FieldsStamp ? 8 : part == FieldsSize ? 8 : 12;
}

// `bytes` hold the part of the fields `part` names.
inline void getFrameFields(const unsigned char* bytes, FrameFieldsPart part, FRAME_FIELDS* f) {
    if (part == FieldsStamp) {
        f->lastWrite = getFileTime(bytes);
        return;
    }
    f->width = getU32(bytes);
    f->height = getU32(bytes + 4);
    if (part == FieldsSizeAndLength) f->packedLength = getU32(bytes + 8);
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
