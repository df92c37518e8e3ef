// The JPEG reader: the whole file goes to the platform's picture decoder, and the
// bitmap it makes is taken over like any bitmap handle. No message box on any
// failure: the result 0 lets load put the previous picture back.
#include "decoders.h"
#include "pixel/heap.h"
#include "platform/platform.h"

namespace {
int takeBitmap(HBITMAP bitmap, void* decoded) {
    return tvn::codecs::decodeBitmapHandle(bitmap, static_cast<tvn::DECODED_PICTURE*>(decoded));
}
} // namespace

namespace tvn {
namespace codecs {

int decodeJpeg(HANDLE file, DECODED_PICTURE* out) {
    *out = DECODED_PICTURE();
    const TVN_DWORD size = plat::fileSize(file);
    if (size == plat::kInvalidFileSize) return 0;
    HeapBlock bytes(heapAlloc(size));
    if (!bytes.get()) return 0;
    TVN_DWORD got = 0;
    if (!plat::fileRead(file, bytes.get(), size, &got) || got != size) return 0;
    if (plat::decodePicture(bytes.get(), size, &takeBitmap, out) && out->plane.pWords) return 1;
    heapFree(out->plane.pWords); // a decoder that fails after the bitmap was taken
    *out = DECODED_PICTURE();
    return 0;
}

} // namespace codecs
} // namespace tvn
