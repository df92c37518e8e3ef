// The bitmap object that HBITMAP stands for on POSIX systems: bottom-up rows of
// 24- or 32-bit pixels (blue, green, red[, alpha]), each row padded to 4 bytes,
// as in a Windows device-independent bitmap.
#ifndef TIVORN_POSIX_BITMAP_OBJECT_H
#define TIVORN_POSIX_BITMAP_OBJECT_H

#include <cstddef>

#include "platform/bitmaps.h"

struct HBITMAP__ {
    unsigned magic;
    long width;
    long height;
    int bitsPerPixel;
    std::size_t stride;
    unsigned char* bits;
};

namespace tvn {
namespace plat {

// A bitmap with uninitialised rows; null when the size is unusable or memory is short.
HBITMAP bitmapCreate(long width, long height, int bitsPerPixel);
void bitmapDelete(HBITMAP bitmap);

} // namespace plat
} // namespace tvn

#endif
