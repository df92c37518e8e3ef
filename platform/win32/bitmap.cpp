// Bitmap handles through GDI: the size from GetObjectA, the rows from GetDIBits as
// a bottom-up 24-bit device-independent bitmap, and device-independent bitmaps
// made for the host from its rows.
#include "platform/bitmaps.h"

#include <cstring>

#include "tivorn/host.h"

namespace tvn {
namespace plat {

int bitmapSize(HBITMAP bitmap, long* width, long* height) {
    BITMAP info;
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info)) return 0;
    *width = info.bmWidth;
    *height = info.bmHeight;
    return 1;
}

int bitmapRows24(HBITMAP bitmap, long width, long height, long first, long lines, void* rows) {
    if (!bitmap || !rows || width <= 0 || height <= 0 || first < 0 || lines <= 0 || lines > height - first) return 0;
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // positive: bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    int got =
        GetDIBits(screen, bitmap, static_cast<UINT>(first), static_cast<UINT>(lines), rows, &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    // Fewer lines than asked would leave rows unfilled: a failure too.
    return got == lines ? 1 : 0;
}

} // namespace plat
} // namespace tvn

extern "C" TVN_API HBITMAP TVN_CDECL tvnCreateBitmap(int width, int height, int bitsPerPixel, const void* rows,
                                                     int stride) {
    if (!rows || width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return nullptr;
    const unsigned long long rowBytes = static_cast<unsigned long long>(width) * (bitsPerPixel / 8);
    const unsigned long long dibStride = (rowBytes + 3) & ~3ull;
    if (stride < 0 || static_cast<unsigned long long>(stride) < rowBytes || dibStride * height > 0x7FFFFFFFull)
        return nullptr;
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    const unsigned char* src = static_cast<const unsigned char*>(rows);
    unsigned char* dst = static_cast<unsigned char*>(bits);
    for (int r = 0; r < height; ++r)
        std::memcpy(dst + static_cast<std::size_t>(r) * dibStride, src + static_cast<std::size_t>(r) * stride,
                    static_cast<std::size_t>(rowBytes));
    GdiFlush();
    return bitmap;
}

extern "C" TVN_API void TVN_CDECL tvnDeleteBitmap(HBITMAP bitmap) {
    if (bitmap) DeleteObject(bitmap);
}
