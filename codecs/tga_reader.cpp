// The TGA reader: plain (type 2) and run-length (type 10) true-colour files of
// 16 bits per pixel or more. The footer is read but not required, so files of
// the older format without one load alike.
#include "codecs/decoders.h"
#include "codecs/tga_format.h"
#include "codecs/tga_pixels.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "pixel/rows.h"
#include "platform/platform.h"
#include "codecs/reader_failure.h"

#include <cstring>

namespace tvn::codecs {
namespace tga {
const unsigned char kScale5[32] = {0,   8,   16,  24,  32,  41,  49,  57,  65,  74,  82,
                                   90,  98,  106, 115, 123, 131, 139, 148, 156, 164, 172,
                                   180, 189, 197, 205, 213, 222, 230, 238, 246, 255};
} // namespace tga
} // namespace tvn::codecs

namespace {

void readExactly(HANDLE file, void* buffer, TVN_DWORD size) {
    TVN_DWORD got = 0;
    if (!tvn::plat::fileRead(file, buffer, size, &got) || got != size)
        tvn::pixel::throwMessage(tvn::pixel::Msg::FileDamaged);
}

void seekOrThrow(HANDLE file, long offset, tvn::plat::SeekOrigin origin) {
    if (!tvn::plat::fileSeek(file, offset, origin, nullptr)) tvn::pixel::throwMessage(tvn::pixel::Msg::FileDamaged);
}

} // namespace

namespace tvn {
namespace codecs {

int decodeTga(HANDLE file, READ_AHEAD& readAhead, pixel::DECODED_PICTURE* out) {
    pixel::DecodedHolder holder(out);
    try {
        TGA_FOOTER footer;
        TGA_HEADER header;
        tga::readFooter(file, &footer);
        tga::readHeader(file, &header);
        tga::readImageData(file, header, readAhead, out);
        // The plane is bottom-up, so files stored from the bottom-left corner need no flip.
        const pixel::PIXEL_PLANE& p = out->plane;
        if (header.byDescriptor & kTgaRightToLeft) pixel::mirrorRows(p.pWords, p.dwWidth, p.dwHeight);
        if (header.byDescriptor & kTgaTopToBottom) pixel::exchangeRows(p.pWords, p.dwWidth, p.dwHeight);
        holder.keep();
        return 1;
    } catch (char* text) {
        return readerFailed(text);
    }
}

namespace tga {

void readFooter(HANDLE file, TGA_FOOTER* footer) {
    // A file shorter than the footer fails to move 26 bytes back from its end.
    seekOrThrow(file, -static_cast<long>(sizeof *footer), plat::SeekEnd);
    readExactly(file, footer, sizeof *footer);
}

void readHeader(HANDLE file, TGA_HEADER* header) {
    seekOrThrow(file, 0, plat::SeekBegin);
    readExactly(file, header, sizeof *header);
}

// The words are allocated before the header is judged, so a picture too large
// for memory is refused with message 1 whatever its type.
void readImageData(HANDLE file, const TGA_HEADER& header, READ_AHEAD& readAhead, pixel::DECODED_PICTURE* picture) {
    const unsigned char depth = header.byPixelDepth;
    picture->bContainsAlpha = depth == 32 ? 1 : 0;
    const TVN_DWORD width = header.wWidth, height = header.wHeight;
    pixel::heapFree(picture->plane.pWords);
    picture->plane = {nullptr, width, height};
    picture->plane.pWords = static_cast<TVN_DWORD*>(pixel::heapAllocOrThrow(width, height, 4, 0));

    if (depth < 16) pixel::throwMessage(pixel::Msg::UnsupportedFormat);
    if (header.byImageType != kTgaTypeTrueColor && header.byImageType != kTgaTypeTrueColorRLE)
        pixel::throwMessage(pixel::Msg::UnsupportedFormat);
    seekOrThrow(file, static_cast<long>(sizeof header) + header.byIDLength, plat::SeekBegin);
    if (header.byColorMapType != 0) pixel::throwMessage(pixel::Msg::UnsupportedFormat);

    if (header.byImageType == kTgaTypeTrueColor) readUnmapped(file, depth, &picture->plane);
    else readUnmappedRLE(file, depth, readAhead, picture->plane);
}

void readUnmapped(HANDLE file, unsigned char depth, pixel::PIXEL_PLANE* plane) {
    const std::size_t count = plane->count();
    const unsigned long long bytes = static_cast<unsigned long long>(count) * depth / 8;
    if (bytes > 0xFFFFFFFFull) pixel::throwMessage(pixel::Msg::OutOfMemory);
    const std::size_t stride = depth / 8;

    // Depths 17 to 23 have two-byte pixels of which three bytes are taken: the
    // last pixel's third byte lies beyond the data and reads as 0.
    std::size_t tail = 0;
    if (count && stride < 3 && depth != 16) {
        const std::size_t last = (count - 1) * stride + 3;
        if (last > bytes) tail = last - static_cast<std::size_t>(bytes);
    }
    std::size_t total = 0;
    if (!pixel::checkedSize(static_cast<TVN_DWORD>(bytes), 1, 1, &total) || total + tail < total)
        pixel::throwMessage(pixel::Msg::OutOfMemory);
    pixel::HeapBlock block(pixel::heapAlloc(total + tail));
    if (!block.get()) pixel::throwMessage(pixel::Msg::OutOfMemory);
    unsigned char* data = block.as<unsigned char>();
    std::memset(data + total, 0, tail);
    readExactly(file, data, static_cast<TVN_DWORD>(total));

    TVN_DWORD* out = plane->pWords;
    if (depth == 32) {
        // The block has exactly the size of the picture: convert it in place and
        // let it become the picture, so that the words allocated for it are never
        // written (half the memory traffic of a copy).
        pixel::rows::rowKernels().bgraToWords(data, reinterpret_cast<TVN_DWORD*>(data), count);
        pixel::heapFree(plane->pWords);
        plane->pWords = static_cast<TVN_DWORD*>(block.release());
        return;
    }
    if (depth == 16) {
        for (std::size_t i = 0; i < count; ++i, data += 2) out[i] = tvn::codecs::tga::word16(data[0] | (data[1] << 8));
    } else if (stride == 3) {
        pixel::rows::rowKernels().bgrToWords(data, out, count);
    } else if (stride == 4) {
        pixel::rows::rowKernels().bgrxToWords(data, out, count);
    } else {
        for (std::size_t i = 0; i < count; ++i, data += stride) out[i] = tvn::codecs::tga::wordBGR(data, 255);
    }
}

} // namespace tga
} // namespace codecs
} // namespace tvn
