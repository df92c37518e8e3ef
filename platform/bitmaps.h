// Bitmap handles and the platform's picture decoder, which hands its pictures
// over as bitmaps.
#ifndef TIVORN_PLATFORM_BITMAPS_H
#define TIVORN_PLATFORM_BITMAPS_H

#include "tivorn/types.h"

namespace tvn {
namespace plat {

// Bitmap handles (Windows: GDI bitmaps; elsewhere the platform's own bitmap object,
// see tvnCreateBitmap). bitmapSize gives the size as GetObjectA reports it.
// bitmapRows24 gives `lines` rows from row `first` (counted from the bottom) of the
// bitmap as a bottom-up 24-bit device-independent bitmap of width x height pixels
// (blue, green, red; each row padded to a multiple of 4 bytes), as GetDIBits does
// through a screen device context. Both return 0 on failure.
int bitmapSize(HBITMAP bitmap, long* width, long* height);
int bitmapRows24(HBITMAP bitmap, long width, long height, long first, long lines, void* rows);

// Turns a whole picture file in memory into a bitmap handle and hands it to take();
// everything it acquired is released afterwards. Returns what take() returned, or
// 0 when the data could not be decoded.
int decodePicture(const void* bytes, TVN_DWORD size, int (*take)(HBITMAP bitmap, void* context), void* context);
// Where the decoder can write pixel words itself, the picture skips the bitmap:
// decodePictureInto asks words() for width x height words (bottom row first; null
// gives up), fills them with opaque pixels and returns PictureDecoded. Where it
// cannot (Windows), it returns PictureUseBitmap at once and decodePicture is the way.
enum PictureRoute { PictureFailed = 0, PictureDecoded = 1, PictureUseBitmap = 2 };
typedef TVN_DWORD* (*PictureWords)(void* context, TVN_DWORD width, TVN_DWORD height);
PictureRoute decodePictureInto(const void* bytes, TVN_DWORD size, PictureWords words, void* context);
// What decodes pictures here: "OleLoadPicture" on Windows, "TurboJPEG" elsewhere.
const char* pictureDecoderName();

} // namespace plat
} // namespace tvn

#endif
