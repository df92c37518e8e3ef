// The picture decoder on POSIX systems: TurboJPEG decodes straight into a 24-bit
// bottom-up bitmap object, which is then handed over like a decoded picture's
// bitmap on Windows. JPEG only; anything else, damaged or cut-off data included,
// is refused (TurboJPEG's warnings, such as a file that ends early, count as failures).
#include "bitmap_object.h"

#include <turbojpeg.h>

namespace tvn {
namespace plat {

const char* pictureDecoderName() {
    return "TurboJPEG";
}

int decodePicture(const void* bytes, TVN_DWORD size, int (*take)(HBITMAP bitmap, void* context), void* context) {
    if (!bytes || size == 0 || !take) return 0;
    tjhandle decoder = tjInitDecompress();
    if (!decoder) return 0;
    unsigned char* data = const_cast<unsigned char*>(static_cast<const unsigned char*>(bytes));
    int result = 0;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    // The header query also fails for sampling factors outside TurboJPEG's named
    // classes, after it has found the size; the full decode handles those.
    const int header = tjDecompressHeader3(decoder, data, size, &width, &height, &subsampling, &colorspace);
    if (header == 0 || (width > 0 && height > 0)) {
        HBITMAP bitmap = bitmapCreate(width, height, 24);
        // Hostile progressive files could ask for endless scans: those are refused.
        const int flags = TJFLAG_BOTTOMUP | TJFLAG_LIMITSCANS;
        if (bitmap && tjDecompress2(decoder, data, size, bitmap->bits, width, static_cast<int>(bitmap->stride), height,
                                    TJPF_BGR, flags) == 0)
            result = take(bitmap, context);
        bitmapDelete(bitmap);
    }
    tjDestroy(decoder);
    return result;
}

} // namespace plat
} // namespace tvn
