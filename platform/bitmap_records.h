// The device-independent bitmap records of the BMP format. Windows declares
// them in its own headers (reached through tivorn/types.h); elsewhere they are
// declared here with the same names, fields, widths and packing.
#ifndef TIVORN_BITMAP_RECORDS_H
#define TIVORN_BITMAP_RECORDS_H

#include "tivorn/types.h"

#if !defined(_WIN32)
#include <cstdint>

#pragma pack(push, 2)
struct tagBITMAPFILEHEADER {
    std::uint16_t bfType;
    std::uint32_t bfSize;
    std::uint16_t bfReserved1;
    std::uint16_t bfReserved2;
    std::uint32_t bfOffBits;
};
#pragma pack(pop)

struct tagBITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct tagRGBQUAD {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};
#endif

static_assert(sizeof(tagBITMAPFILEHEADER) == 14, "the BMP file header is 14 bytes");
static_assert(sizeof(tagBITMAPINFOHEADER) == 40, "the BMP information header is 40 bytes");
static_assert(sizeof(tagRGBQUAD) == 4, "a colour-table entry is 4 bytes");

#endif
