// Drawing GIF images: colour tables as pixel words, interlaced row order and
// clipping to the logical screen.
#include "codecs/gif_draw.h"

#include <cstddef>

namespace tvn::codecs {
namespace gif {

void buildPalette(TVN_DWORD* palette, const unsigned char* table, TVN_DWORD entries) {
    if (!table) entries = 0;
    if (entries > kTableEntries) entries = kTableEntries;
    for (TVN_DWORD i = 0; i < entries; ++i) palette[i] = pixelOf(table + 3 * i);
    for (TVN_DWORD i = entries; i < kTableEntries; ++i) palette[i] = 0xFF000000u;
}

namespace {
struct Pass {
    TVN_DWORD start;
    TVN_DWORD step;
};
const Pass kSequential[] = {{0, 1}};
const Pass kInterlaced[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};

// Place of image row y among the rows as they arrive.
TVN_DWORD arrivalOf(TVN_DWORD y, TVN_DWORD height, bool interlaced) {
    if (!interlaced) return y;
    const TVN_DWORD pass0 = (height + 7) / 8;
    const TVN_DWORD pass1 = height > 4 ? (height - 4 + 7) / 8 : 0;
    const TVN_DWORD pass2 = height > 2 ? (height - 2 + 3) / 4 : 0;
    if (y % 8 == 0) return y / 8;
    if (y % 8 == 4) return pass0 + y / 8;
    if (y % 4 == 2) return pass0 + pass1 + y / 4;
    return pass0 + pass1 + pass2 + y / 2;
}

void fill(TVN_DWORD* dst, TVN_DWORD value, TVN_DWORD count) {
    for (TVN_DWORD i = 0; i < count; ++i) dst[i] = value;
}
} // namespace

void drawImage(TVN_DWORD* screen, TVN_DWORD screenWidth, TVN_DWORD screenHeight, const GIF_IMAGE_DESCR& image,
               const unsigned short* indices, TVN_DWORD count, const TVN_DWORD* palette) {
    const TVN_DWORD width = image.wWidth;
    const TVN_DWORD height = image.wHeight;
    const TVN_DWORD left = image.wLeft;
    const TVN_DWORD top = image.wTop;
    if (width == 0 || left >= screenWidth) return;
    const TVN_DWORD visible = width < screenWidth - left ? width : screenWidth - left;
    const bool interlaced = (image.byFlags & kFlagInterlaced) != 0;
    const Pass* passes = interlaced ? kInterlaced : kSequential;
    const int passCount = interlaced ? 4 : 1;

    TVN_DWORD consumed = 0; // indices of the rows already placed
    for (int p = 0; p < passCount; ++p) {
        for (TVN_DWORD y = passes[p].start; y < height; y += passes[p].step) {
            if (consumed >= count) return;
            const TVN_DWORD available = count - consumed;
            const TVN_DWORD row = top + y;
            if (row < screenHeight) {
                TVN_DWORD n = visible < available ? visible : available;
                TVN_DWORD* dst = screen + static_cast<std::size_t>(screenHeight - 1 - row) * screenWidth + left;
                const unsigned short* src = indices + consumed;
                for (TVN_DWORD x = 0; x < n; ++x) dst[x] = palette[src[x] & (kTableEntries - 1)];
            }
            consumed += available < width ? available : width;
        }
    }
}

void fillAroundImage(TVN_DWORD* screen, TVN_DWORD screenWidth, TVN_DWORD screenHeight, const GIF_IMAGE_DESCR& image,
                     TVN_DWORD count, TVN_DWORD colour) {
    const TVN_DWORD width = image.wWidth;
    const TVN_DWORD left = image.wLeft < screenWidth ? image.wLeft : screenWidth;
    const TVN_DWORD visible = width < screenWidth - left ? width : screenWidth - left;
    const bool interlaced = (image.byFlags & kFlagInterlaced) != 0;
    for (TVN_DWORD row = 0; row < screenHeight; ++row) {
        TVN_DWORD* dst = screen + static_cast<std::size_t>(screenHeight - 1 - row) * screenWidth;
        TVN_DWORD drawn = 0; // pixels drawImage placed in this row, from left on
        if (row >= image.wTop && row - image.wTop < image.wHeight && width) {
            const TVN_DWORD first = arrivalOf(row - image.wTop, image.wHeight, interlaced) * width;
            if (first < count) drawn = count - first < visible ? count - first : visible;
        }
        if (!drawn) {
            fill(dst, colour, screenWidth);
            continue;
        }
        fill(dst, colour, left);
        fill(dst + left + drawn, colour, screenWidth - left - drawn);
    }
}

} // namespace gif
} // namespace tvn::codecs
