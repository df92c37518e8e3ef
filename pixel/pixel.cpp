#include "tivorn/pixel.h"

#include <cmath>

extern "C" {

TVN_API unsigned char TVN_CDECL tvnGetRValue(TVN_DWORD pel) {
    return static_cast<unsigned char>(pel);
}

TVN_API unsigned char TVN_CDECL tvnGetGValue(TVN_DWORD pel) {
    return static_cast<unsigned char>(pel >> 8);
}

TVN_API unsigned char TVN_CDECL tvnGetBValue(TVN_DWORD pel) {
    return static_cast<unsigned char>(pel >> 16);
}

TVN_API unsigned char TVN_CDECL tvnGetAValue(TVN_DWORD pel) {
    return static_cast<unsigned char>(pel >> 24);
}

TVN_API TVN_DWORD TVN_CDECL tvnRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
    return (static_cast<TVN_DWORD>(a) << 24) | (static_cast<TVN_DWORD>(b) << 16) |
           (static_cast<TVN_DWORD>(g) << 8) | r;
}

TVN_API TVN_DWORD TVN_CDECL tvnGetColorDist(TVN_DWORD p, TVN_DWORD q) {
    int dr = int(tvnGetRValue(p)) - int(tvnGetRValue(q));
    int dg = int(tvnGetGValue(p)) - int(tvnGetGValue(q));
    int db = int(tvnGetBValue(p)) - int(tvnGetBValue(q));
    int sum = dr * dr + dg * dg + db * db;
    return static_cast<TVN_DWORD>(std::sqrt(static_cast<double>(sum)));
}

TVN_API int TVN_CDECL tvnNormalizePel(TVN_DWORD* pel, unsigned char bits) {
    TVN_DWORD v = *pel;
    switch (bits) {
    case 1:
        *pel = v ? 0xFFFFFFFFu : 0xFF000000u;
        return 1;
    case 15:
    case 16: {
        TVN_DWORD r = (v & 0x1F) * 255 / 31, g = ((v >> 5) & 0x1F) * 255 / 31, b = ((v >> 10) & 0x1F) * 255 / 31;
        *pel = 0xFF000000u | (b << 16) | (g << 8) | r;
        return 1;
    }
    case 24:
        *pel = 0xFF000000u | (v & 0x00FFFFFFu);
        return 1;
    case 32: {
        TVN_DWORD r = (v & 0x3FF) * 255 / 1023, g = ((v >> 10) & 0x3FF) * 255 / 1023,
                  b = ((v >> 20) & 0x3FF) * 255 / 1023;
        *pel = 0xFF000000u | (b << 16) | (g << 8) | r;
        return 1;
    }
    default:
        return 0;
    }
}

TVN_API TVN_DWORD TVN_CDECL tvnMulPel(TVN_DWORD pel, TVN_DWORD mul, TVN_DWORD div) {
    TVN_DWORD r = (static_cast<TVN_DWORD>(tvnGetRValue(pel)) * mul / div) & 0xFF;
    TVN_DWORD g = (static_cast<TVN_DWORD>(tvnGetGValue(pel)) * mul / div) & 0xFF;
    TVN_DWORD b = (static_cast<TVN_DWORD>(tvnGetBValue(pel)) * mul / div) & 0xFF;
    return (pel & 0xFF000000u) | (b << 16) | (g << 8) | r;
}

TVN_API void TVN_CDECL tvnFillUlong(TVN_DWORD* dst, TVN_DWORD value, TVN_DWORD count) {
    for (TVN_DWORD i = 0; i < count; ++i) dst[i] = value;
}

TVN_API void TVN_CDECL tvnSwapRB(TVN_DWORD* pel) {
    if (!pel) return;
    TVN_DWORD v = *pel;
    *pel = (v & 0xFF00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
}

} // extern "C"
