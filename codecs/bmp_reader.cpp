// The BMP reader: uncompressed bitmaps with a 40-byte information header,
// 1, 4 and 8 bits through a colour table, 24 and 32 bits direct.
#include "tivorn/image.h"
#include "bmp_pixels.h"
#include "bmp_rows.h"
#include "../pixel/heap.h"
#include "../pixel/module_start.h"
#include "../platform/bitmap_records.h"
#include "../platform/platform.h"
#include "reader_failure.h"

#include <cstdint>

namespace {

const unsigned short kBmpSignature = 0x4D42; // "BM"

// Reads exactly size bytes or throws message 2.
void readExactly(HANDLE file, void* buffer, TVN_DWORD size) {
    TVN_DWORD got = 0;
    if (!tvn::plat::fileRead(file, buffer, size, &got) || got != size) tvn::throwMessage(2);
}

// Bytes of one file row: the bits of width pixels rounded up to whole bytes,
// then to a multiple of 4. A row too long for 32 bits cannot be allocated.
TVN_DWORD rowStride(TVN_DWORD width, unsigned bits) {
    unsigned long long bytes = (static_cast<unsigned long long>(width) * bits + 7) / 8;
    bytes = (bytes + 3) & ~3ull;
    if (bytes > 0xFFFFFFFFull) tvn::throwMessage(1);
    return static_cast<TVN_DWORD>(bytes);
}

// All rows of the file in one read, into a temporary block the caller owns.
void* readRows(HANDLE file, TVN_DWORD stride, TVN_DWORD height) {
    tvn::HeapBlock rows(tvn::heapAllocOrThrow(stride, height, 1, 0));
    readExactly(file, rows.get(), stride * height);
    return rows.release();
}

} // namespace

int CRGBAImage::readBMPFile(void* file) {
    try {
        tagBITMAPFILEHEADER header;
        tagBITMAPINFOHEADER info;
        readBMPFileHeader(file, &header);
        readBMPInfoHeader(file, &info);

        // Sizes are taken as unsigned: a top-down file (negative height) asks
        // for a buffer that cannot be had and is refused with message 1.
        m_dwWidth = static_cast<TVN_DWORD>(info.biWidth);
        m_dwHeight = static_cast<TVN_DWORD>(info.biHeight);
        tvn::heapFree(m_pBuffer);
        m_pBuffer = nullptr;
        m_pBuffer = static_cast<TVN_DWORD*>(tvn::heapAllocOrThrow(m_dwWidth, m_dwHeight, 4, 0));

        switch (info.biBitCount) {
        case 1:
        case 4:
        case 8:
            if (info.biCompression != 0) tvn::throwMessage(4);
            readBMPMappedBitmap(file, &info);
            break;
        case 16:
            tvn::throwMessage(4);
        case 24:
        case 32:
            if (info.biCompression != 0) tvn::throwMessage(4);
            readBMPRawBitmap(file, &header, &info);
            break;
        default:
            tvn::throwMessage(2);
        }
        return 1;
    } catch (char* text) {
        return tvn::readerFailed(text, m_dwWidth, m_dwHeight);
    }
}

void CRGBAImage::readBMPFileHeader(void* file, tagBITMAPFILEHEADER* header) {
    readExactly(file, header, sizeof *header);
    if (header->bfType != kBmpSignature) tvn::throwMessage(5);
}

void CRGBAImage::readBMPInfoHeader(void* file, tagBITMAPINFOHEADER* info) {
    readExactly(file, info, sizeof *info);
    if (info->biSize != sizeof *info || info->biBitCount == 0) tvn::throwMessage(7);
}

void CRGBAImage::readBMPColorMap(void* file, tagRGBQUAD* table, TVN_DWORD count) {
    readExactly(file, table, count * sizeof *table);
}

void CRGBAImage::readBMPMappedBitmap(void* file, tagBITMAPINFOHEADER* info) {
    // The table always has 2^bits entries and the rows follow it at once,
    // whatever biClrUsed and bfOffBits say.
    const unsigned bits = info->biBitCount;
    tagRGBQUAD table[256];
    readBMPColorMap(file, table, 1u << bits);
    TVN_DWORD words[256];
    for (unsigned i = 0; i < (1u << bits); ++i)
        words[i] = 0xFF000000u | (static_cast<TVN_DWORD>(table[i].rgbBlue) << 16) |
                   (static_cast<TVN_DWORD>(table[i].rgbGreen) << 8) | table[i].rgbRed;

    const TVN_DWORD stride = rowStride(m_dwWidth, bits);
    tvn::HeapBlock rows(readRows(file, stride, m_dwHeight));
    if (m_dwWidth == 0) return; // rows of no pixels, however many: nothing to store
    const unsigned char* row = rows.as<unsigned char>();
    TVN_DWORD* out = m_pBuffer;
    for (TVN_DWORD y = 0; y < m_dwHeight; ++y, row += stride, out += m_dwWidth)
        tvn::bmp::indexedRowToWords(row, bits, words, out, m_dwWidth);
}

void CRGBAImage::readBMPRawBitmap(void* file, tagBITMAPFILEHEADER* header, tagBITMAPINFOHEADER* info) {
    // The move is not checked: a bad offset shows as a short read. The offset is
    // a signed 32-bit distance, as the platform's file pointer takes it, so an
    // offset of 2 GiB or more fails to move on every platform alike.
    const long offset = static_cast<long>(static_cast<std::int32_t>(header->bfOffBits));
    tvn::plat::fileSeek(file, offset, tvn::plat::SeekBegin, nullptr);
    const unsigned bits = info->biBitCount;
    const TVN_DWORD stride = rowStride(m_dwWidth, bits);
    tvn::HeapBlock rows(readRows(file, stride, m_dwHeight));
    if (m_dwWidth == 0) return;
    const unsigned char* row = rows.as<unsigned char>();
    TVN_DWORD* out = m_pBuffer;
    for (TVN_DWORD y = 0; y < m_dwHeight; ++y, row += stride, out += m_dwWidth) {
        if (bits == 24) tvn::px::bgrToWords(row, out, m_dwWidth);
        else tvn::px::bgrxToWords(row, out, m_dwWidth); // the fourth byte is not alpha
    }
}
