// The JPEG reader: the whole file goes to the platform's picture decoder, and the
// bitmap it makes is taken over like any bitmap handle. No message box on any
// failure: the result 0 lets load put the previous picture back.
#include "pixel/heap.h"
#include "platform/platform.h"
#include "tivorn/image.h"

namespace {
int takeBitmap(HBITMAP bitmap, void* image) {
    return static_cast<CRGBAImage*>(image)->fromHandle(bitmap) ? 1 : 0;
}
} // namespace

int CRGBAImage::readJPEGFile(void* file) {
    const TVN_DWORD size = tvn::plat::fileSize(file);
    if (size == tvn::plat::kInvalidFileSize) return 0;
    tvn::HeapBlock bytes(tvn::heapAlloc(size));
    if (!bytes.get()) return 0;
    TVN_DWORD got = 0;
    if (!tvn::plat::fileRead(file, bytes.get(), size, &got) || got != size) return 0;
    return tvn::plat::decodePicture(bytes.get(), size, &takeBitmap, this);
}
