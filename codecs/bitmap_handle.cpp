// A bitmap handle as a picture: its rows as a 24-bit bottom-up device-independent
// bitmap, turned into opaque pixel words.
#include "codecs/decoders.h"
#include "pixel/heap.h"
#include "pixel/rows.h"
#include "platform/platform.h"

namespace {
const TVN_DWORD kBandBytes = 256 * 1024;
} // namespace

namespace tvn {
namespace codecs {

int decodeBitmapHandle(HBITMAP bitmap, pixel::DECODED_PICTURE* out) {
    *out = pixel::DECODED_PICTURE();
    long width = 0, height = 0;
    if (!plat::bitmapSize(bitmap, &width, &height)) return 0;
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFFL || height > 0x7FFFFFFFL) return 0;
    const TVN_DWORD w = static_cast<TVN_DWORD>(width);
    const TVN_DWORD h = static_cast<TVN_DWORD>(height);

    std::size_t pixelBytes = 0;
    if (!pixel::checkedSize(w, h, 4, &pixelBytes)) return 0;
    // Below 2^32 since width x 4 is.
    const TVN_DWORD stride = (3 * w + 3) & ~TVN_DWORD(3);
    // The rows come over in bands that stay in cache while they are converted.
    TVN_DWORD band = kBandBytes / stride;
    if (band == 0) band = 1;
    if (band > h) band = h;

    pixel::HeapBlock pixels(pixel::heapAlloc(pixelBytes));
    if (!pixels.get()) return 0;
    pixel::HeapBlock rows(pixel::heapAlloc(static_cast<std::size_t>(band) * stride));
    if (!rows.get()) return 0;

    // Both sides are bottom-up: row r of the bitmap is row r of the picture.
    TVN_DWORD* dst = pixels.as<TVN_DWORD>();
    const tvn::pixel::rows::ToWords bgrToWords = tvn::pixel::rows::rowKernels().bgrToWords;
    for (TVN_DWORD first = 0; first < h; first += band) {
        const TVN_DWORD lines = band < h - first ? band : h - first;
        if (!plat::bitmapRows24(bitmap, width, height, first, lines, rows.get())) return 0;
        for (TVN_DWORD r = 0; r < lines; ++r)
            bgrToWords(rows.as<unsigned char>() + static_cast<std::size_t>(r) * stride,
                       dst + static_cast<std::size_t>(first + r) * w, w);
    }
    out->plane = {static_cast<TVN_DWORD*>(pixels.release()), w, h};
    return 1;
}

} // namespace codecs
} // namespace tvn
