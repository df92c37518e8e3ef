// Bitmap handles on POSIX systems: the platform's own bitmap object, with the
// size query and the 24-bit row copy that GetObjectA and GetDIBits give on Windows.
#include "platform/posix/bitmap_object.h"

#include <cstdlib>
#include <cstring>

#include "tivorn/host.h"

namespace tvn {
namespace plat {

namespace {
const unsigned kMagic = 0x504D4254u; // "TBMP"

bool valid(HBITMAP bitmap) {
    return bitmap && bitmap->magic == kMagic && bitmap->bits;
}

// Bytes per row padded to 4, or 0 when it does not fit.
std::size_t strideOf(long width, int bitsPerPixel) {
    unsigned long long bytes = (static_cast<unsigned long long>(width) * (bitsPerPixel / 8) + 3) & ~3ull;
    return bytes > 0x7FFFFFFFull ? 0 : static_cast<std::size_t>(bytes);
}
} // namespace

HBITMAP bitmapCreate(long width, long height, int bitsPerPixel) {
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFFL || height > 0x7FFFFFFFL) return nullptr;
    if (bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
    const std::size_t stride = strideOf(width, bitsPerPixel);
    // Like a GDI bitmap, the object comes from the system's heap, not the library's.
    const unsigned long long bytes = static_cast<unsigned long long>(stride) * static_cast<unsigned long long>(height);
    if (!stride || bytes > 0xFFFFFFFFull) return nullptr;
    unsigned char* bits = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(bytes)));
    HBITMAP bitmap = static_cast<HBITMAP>(std::malloc(sizeof(HBITMAP__)));
    if (!bits || !bitmap) {
        std::free(bits);
        std::free(bitmap);
        return nullptr;
    }
    bitmap->magic = kMagic;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPerPixel = bitsPerPixel;
    bitmap->stride = stride;
    bitmap->bits = bits;
    return bitmap;
}

void bitmapDelete(HBITMAP bitmap) {
    if (!valid(bitmap)) return;
    bitmap->magic = 0;
    std::free(bitmap->bits);
    std::free(bitmap);
}

int bitmapSize(HBITMAP bitmap, long* width, long* height) {
    if (!valid(bitmap)) return 0;
    *width = bitmap->width;
    *height = bitmap->height;
    return 1;
}

int bitmapRows24(HBITMAP bitmap, long width, long height, long first, long lines, void* rows) {
    if (!valid(bitmap) || !rows || width != bitmap->width || height != bitmap->height || first < 0 || lines <= 0 ||
        lines > height - first)
        return 0;
    const std::size_t stride = strideOf(width, 24);
    unsigned char* dst = static_cast<unsigned char*>(rows);
    const unsigned char* src = bitmap->bits + static_cast<std::size_t>(first) * bitmap->stride;
    if (bitmap->bitsPerPixel == 24) {
        std::memcpy(dst, src, stride * static_cast<std::size_t>(lines));
        return 1;
    }
    for (long r = 0; r < lines; ++r) {
        const unsigned char* s = src + static_cast<std::size_t>(r) * bitmap->stride;
        unsigned char* d = dst + static_cast<std::size_t>(r) * stride;
        for (long x = 0; x < width; ++x, s += 4, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
        for (std::size_t pad = static_cast<std::size_t>(width) * 3; pad < stride; ++pad) *d++ = 0;
    }
    return 1;
}

} // namespace plat
} // namespace tvn

extern "C" TVN_API HBITMAP TVN_CDECL tvnCreateBitmap(int width, int height, int bitsPerPixel, const void* rows,
                                                     int stride) {
    if (!rows || width <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return nullptr;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel / 8);
    if (stride < 0 || static_cast<std::size_t>(stride) < rowBytes) return nullptr;
    HBITMAP bitmap = tvn::plat::bitmapCreate(width, height, bitsPerPixel);
    if (!bitmap) return nullptr;
    const unsigned char* src = static_cast<const unsigned char*>(rows);
    for (int r = 0; r < height; ++r) {
        unsigned char* d = bitmap->bits + static_cast<std::size_t>(r) * bitmap->stride;
        std::memcpy(d, src + static_cast<std::size_t>(r) * static_cast<std::size_t>(stride), rowBytes);
        std::memset(d + rowBytes, 0, bitmap->stride - rowBytes);
    }
    return bitmap;
}

extern "C" TVN_API void TVN_CDECL tvnDeleteBitmap(HBITMAP bitmap) {
    tvn::plat::bitmapDelete(bitmap);
}
