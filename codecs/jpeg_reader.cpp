// The JPEG reader: the whole file goes to the platform's picture decoder, which
// either writes the pixel words itself or makes a bitmap that is taken over like
// any bitmap handle. No message box on any failure: the result 0 lets load put
// the previous picture back.
#include "codecs/decoders.h"
#include "pixel/heap.h"
#include "platform/platform.h"

namespace {
int takeBitmap(HBITMAP bitmap, void* decoded) {
    return tvn::codecs::decodeBitmapHandle(bitmap, static_cast<tvn::pixel::DECODED_PICTURE*>(decoded));
}

// The direct decode writes straight into the staging record's plane; the
// opaque words give the picture no alpha of its own.
TVN_DWORD* allocateWords(void* context, TVN_DWORD width, TVN_DWORD height) {
    tvn::pixel::DECODED_PICTURE* decoded = static_cast<tvn::pixel::DECODED_PICTURE*>(context);
    tvn::pixel::heapFree(decoded->plane.pWords);
    decoded->plane = {tvn::pixel::allocPixels(width, height), width, height};
    decoded->bContainsAlpha = 0;
    return decoded->plane.pWords;
}
} // namespace

namespace tvn {
namespace codecs {

int decodeJpeg(HANDLE file, pixel::DECODED_PICTURE* out) {
    *out = pixel::DECODED_PICTURE();
    const TVN_DWORD size = plat::fileSize(file);
    if (size == plat::kInvalidFileSize) return 0;
    pixel::HeapBlock bytes(pixel::heapAlloc(size));
    if (!bytes.get()) return 0;
    TVN_DWORD got = 0;
    if (!plat::fileRead(file, bytes.get(), size, &got) || got != size) return 0;
    switch (plat::decodePictureInto(bytes.get(), size, &allocateWords, out)) {
    case plat::PictureDecoded: return 1;
    case plat::PictureFailed: break;
    case plat::PictureUseBitmap:
        if (plat::decodePicture(bytes.get(), size, &takeBitmap, out) && out->plane.pWords) return 1;
        break;
    }
    pixel::heapFree(out->plane.pWords); // a decoder that fails after the words were handed out
    *out = pixel::DECODED_PICTURE();
    return 0;
}

} // namespace codecs
} // namespace tvn
