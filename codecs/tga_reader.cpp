// The TGA reader: plain (type 2) and run-length (type 10) true-colour files of
// 16 bits per pixel or more. The footer is read but not required, so files of
// the older format without one load alike.
#include "tivorn/image.h"
#include "bmp_pixels.h"
#include "tga_format.h"
#include "tga_pixels.h"
#include "../pixel/heap.h"
#include "../pixel/module_start.h"
#include "../platform/platform.h"
#include "reader_failure.h"

#include <cstring>

namespace tvn {
namespace tga {
const unsigned char kScale5[32] = {0,   8,   16,  24,  32,  41,  49,  57,  65,  74,  82,
                                   90,  98,  106, 115, 123, 131, 139, 148, 156, 164, 172,
                                   180, 189, 197, 205, 213, 222, 230, 238, 246, 255};
} // namespace tga
} // namespace tvn

namespace {

void readExactly(HANDLE file, void* buffer, TVN_DWORD size) {
    TVN_DWORD got = 0;
    if (!tvn::plat::fileRead(file, buffer, size, &got) || got != size) tvn::throwMessage(2);
}

void seekOrThrow(HANDLE file, long offset, tvn::plat::SeekOrigin origin) {
    if (!tvn::plat::fileSeek(file, offset, origin, nullptr)) tvn::throwMessage(2);
}

} // namespace

int CRGBAImage::readTGAFile(void* file) {
    try {
        TGA_FOOTER footer;
        TGA_HEADER header;
        readTGAFooter(file, &footer);
        readTGAHeader(file, &header);
        readTGAImData(file, &header);
        // The buffer is bottom-up, so files stored from the bottom-left corner need no flip.
        if (header.byDescriptor & tvn::kTgaRightToLeft) flipHorizontal();
        if (header.byDescriptor & tvn::kTgaTopToBottom) flipVertical();
        return 1;
    } catch (char* text) {
        return tvn::readerFailed(text, m_dwWidth, m_dwHeight);
    }
}

void CRGBAImage::readTGAFooter(void* file, TGA_FOOTER* footer) {
    // A file shorter than the footer fails to move 26 bytes back from its end.
    seekOrThrow(file, -static_cast<long>(sizeof *footer), tvn::plat::SeekEnd);
    readExactly(file, footer, sizeof *footer);
}

void CRGBAImage::readTGAHeader(void* file, TGA_HEADER* header) {
    seekOrThrow(file, 0, tvn::plat::SeekBegin);
    readExactly(file, header, sizeof *header);
}

void CRGBAImage::readTGAImData(void* file, const TGA_HEADER* header) {
    const unsigned char depth = header->byPixelDepth;
    m_bContainsAlpha = depth == 32 ? 1 : 0;
    m_dwWidth = header->wWidth;
    m_dwHeight = header->wHeight;
    tvn::heapFree(m_pBuffer);
    m_pBuffer = nullptr;
    m_pBuffer = static_cast<TVN_DWORD*>(tvn::heapAllocOrThrow(m_dwWidth, m_dwHeight, 4, 0));

    if (depth < 16) tvn::throwMessage(4);
    if (header->byImageType != tvn::kTgaTypeTrueColor && header->byImageType != tvn::kTgaTypeTrueColorRLE)
        tvn::throwMessage(4);
    seekOrThrow(file, static_cast<long>(sizeof *header) + header->byIDLength, tvn::plat::SeekBegin);
    if (header->byColorMapType != 0) tvn::throwMessage(4);

    if (header->byImageType == tvn::kTgaTypeTrueColor) readTGAUnmapped(file, depth);
    else readTGAUnmappedRLE(file, depth);
}

void CRGBAImage::readTGAUnmapped(void* file, unsigned char depth) {
    const std::size_t count = static_cast<std::size_t>(m_dwWidth) * m_dwHeight;
    const unsigned long long bytes = static_cast<unsigned long long>(count) * depth / 8;
    if (bytes > 0xFFFFFFFFull) tvn::throwMessage(1);
    const std::size_t stride = depth / 8;

    // Depths 17 to 23 have two-byte pixels of which three bytes are taken: the
    // last pixel's third byte lies beyond the data and reads as 0.
    std::size_t tail = 0;
    if (count && stride < 3 && depth != 16) {
        const std::size_t last = (count - 1) * stride + 3;
        if (last > bytes) tail = last - static_cast<std::size_t>(bytes);
    }
    std::size_t total = 0;
    if (!tvn::checkedSize(static_cast<TVN_DWORD>(bytes), 1, 1, &total) || total + tail < total)
        tvn::throwMessage(1);
    tvn::HeapBlock block(tvn::heapAlloc(total + tail));
    if (!block.get()) tvn::throwMessage(1);
    unsigned char* data = block.as<unsigned char>();
    std::memset(data + total, 0, tail);
    readExactly(file, data, static_cast<TVN_DWORD>(total));

    TVN_DWORD* out = m_pBuffer;
    if (depth == 32) {
        // The block has exactly the size of the picture: convert it in place and
        // let it become the picture, so that the untouched pixel buffer is never
        // written (half the memory traffic of a copy).
        tvn::px::bgraToWords(data, reinterpret_cast<TVN_DWORD*>(data), count);
        tvn::heapFree(m_pBuffer);
        m_pBuffer = static_cast<TVN_DWORD*>(block.release());
        return;
    }
    if (depth == 16) {
        for (std::size_t i = 0; i < count; ++i, data += 2) out[i] = tvn::tga::word16(data[0] | (data[1] << 8));
    } else if (stride == 3) {
        tvn::px::bgrToWords(data, out, count);
    } else if (stride == 4) {
        tvn::px::bgrxToWords(data, out, count);
    } else {
        for (std::size_t i = 0; i < count; ++i, data += stride) out[i] = tvn::tga::wordBGR(data, 255);
    }
}
