// The BMP reader: uncompressed bitmaps with a 40-byte information header,
// 1, 4 and 8 bits through a colour table, 24 and 32 bits direct.
#include "codecs/bmp_rows.h"
#include "codecs/decoders.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "pixel/rows.h"
#include "platform/platform.h"
#include "codecs/reader_failure.h"

#include <cstdint>

namespace {

const unsigned short kBmpSignature = 0x4D42; // "BM"

// Reads exactly size bytes or throws message 2.
void readExactly(HANDLE file, void* buffer, TVN_DWORD size) {
    TVN_DWORD got = 0;
    if (!tvn::plat::fileRead(file, buffer, size, &got) || got != size)
        tvn::pixel::throwMessage(tvn::pixel::Msg::FileDamaged);
}

// Bytes of one file row: the bits of width pixels rounded up to whole bytes,
// then to a multiple of 4. A row too long for 32 bits cannot be allocated.
TVN_DWORD rowStride(TVN_DWORD width, unsigned bits) {
    unsigned long long bytes = (static_cast<unsigned long long>(width) * bits + 7) / 8;
    bytes = (bytes + 3) & ~3ull;
    if (bytes > 0xFFFFFFFFull) tvn::pixel::throwMessage(tvn::pixel::Msg::OutOfMemory);
    return static_cast<TVN_DWORD>(bytes);
}

// All rows of the file in one read, into a temporary block the caller owns.
void* readRows(HANDLE file, TVN_DWORD stride, TVN_DWORD height) {
    tvn::pixel::HeapBlock rows(tvn::pixel::heapAllocOrThrow(stride, height, 1, 0));
    readExactly(file, rows.get(), stride * height);
    return rows.release();
}

} // namespace

namespace tvn {
namespace codecs {

int decodeBmp(HANDLE file, pixel::DECODED_PICTURE* out) {
    pixel::DecodedHolder holder(out);
    try {
        tagBITMAPFILEHEADER header;
        tagBITMAPINFOHEADER info;
        bmp::readFileHeader(file, &header);
        bmp::readInfoHeader(file, &info);

        // Sizes are taken as unsigned: a top-down file (negative height) asks
        // for a buffer that cannot be had and is refused with message 1.
        const TVN_DWORD width = static_cast<TVN_DWORD>(info.biWidth);
        const TVN_DWORD height = static_cast<TVN_DWORD>(info.biHeight);
        holder.reset(static_cast<TVN_DWORD*>(pixel::heapAllocOrThrow(width, height, 4, 0)), width, height);

        switch (info.biBitCount) {
        case 1:
        case 4:
        case 8:
            if (info.biCompression != 0) pixel::throwMessage(pixel::Msg::UnsupportedFormat);
            bmp::readMappedBitmap(file, info, out->plane);
            break;
        case 16: pixel::throwMessage(pixel::Msg::UnsupportedFormat);
        case 24:
        case 32:
            if (info.biCompression != 0) throwMessage(pixel::Msg::UnsupportedFormat);
            bmp::readRawBitmap(file, header, info, out->plane);
            break;
        default: throwMessage(pixel::Msg::FileDamaged);
        }
        holder.keep();
        return 1;
    } catch (char* text) {
        return readerFailed(text);
    }
}

namespace bmp {

void readFileHeader(HANDLE file, tagBITMAPFILEHEADER* header) {
    readExactly(file, header, sizeof *header);
    if (header->bfType != kBmpSignature) pixel::throwMessage(pixel::Msg::NotBmp);
}

void readInfoHeader(HANDLE file, tagBITMAPINFOHEADER* info) {
    readExactly(file, info, sizeof *info);
    if (info->biSize != sizeof *info || info->biBitCount == 0) pixel::throwMessage(pixel::Msg::UnsupportedBmpHeader);
}

void readColorMap(HANDLE file, tagRGBQUAD* table, TVN_DWORD count) {
    readExactly(file, table, count * sizeof *table);
}

void readMappedBitmap(HANDLE file, const tagBITMAPINFOHEADER& info, const pixel::PIXEL_PLANE& plane) {
    // The table always has 2^bits entries and the rows follow it at once,
    // whatever biClrUsed and bfOffBits say.
    const unsigned bits = info.biBitCount;
    tagRGBQUAD table[256];
    readColorMap(file, table, 1u << bits);
    TVN_DWORD words[256];
    for (unsigned i = 0; i < (1u << bits); ++i)
        words[i] = 0xFF000000u | (static_cast<TVN_DWORD>(table[i].rgbBlue) << 16) |
                   (static_cast<TVN_DWORD>(table[i].rgbGreen) << 8) | table[i].rgbRed;

    const TVN_DWORD width = plane.dwWidth, height = plane.dwHeight;
    const TVN_DWORD stride = rowStride(width, bits);
    pixel::HeapBlock rows(readRows(file, stride, height));
    if (width == 0) return; // rows of no pixels, however many: nothing to store
    const unsigned char* row = rows.as<unsigned char>();
    TVN_DWORD* out = plane.pWords;
    for (TVN_DWORD y = 0; y < height; ++y, row += stride, out += width)
        tvn::codecs::bmp::indexedRowToWords(row, bits, words, out, width);
}

void readRawBitmap(HANDLE file, const tagBITMAPFILEHEADER& header, const tagBITMAPINFOHEADER& info,
                   const pixel::PIXEL_PLANE& plane) {
    // The move is not checked: a bad offset shows as a short read. The offset is
    // a signed 32-bit distance, as the platform's file pointer takes it, so an
    // offset of 2 GiB or more fails to move on every platform alike.
    const long offset = static_cast<long>(static_cast<std::int32_t>(header.bfOffBits));
    plat::fileSeek(file, offset, plat::SeekBegin, nullptr);
    const unsigned bits = info.biBitCount;
    const TVN_DWORD width = plane.dwWidth, height = plane.dwHeight;
    const TVN_DWORD stride = rowStride(width, bits);
    pixel::HeapBlock rows(readRows(file, stride, height));
    if (width == 0) return;
    const unsigned char* row = rows.as<unsigned char>();
    TVN_DWORD* out = plane.pWords;
    // The fourth byte of 32-bit pixels is not alpha.
    const tvn::pixel::rows::RowKernels& k = tvn::pixel::rows::rowKernels();
    const tvn::pixel::rows::ToWords convert = bits == 24 ? k.bgrToWords : k.bgrxToWords;
    for (TVN_DWORD y = 0; y < height; ++y, row += stride, out += width) convert(row, out, width);
}

} // namespace bmp
} // namespace codecs
} // namespace tvn
