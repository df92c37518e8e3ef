// The GIF reader: every image of the file drawn in turn onto one opaque picture
// of the logical screen's size.
#include <cstddef>
#include <cstring>

#include "codecs/decoders.h"
#include "codecs/gif_draw.h"
#include "codecs/gif_format.h"
#include "codecs/gif_lzw.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "platform/platform.h"
#include "codecs/reader_failure.h"

namespace {

void readExactly(void* file, void* buffer, TVN_DWORD size) {
    TVN_DWORD got = 0;
    if (!tvn::plat::fileRead(file, buffer, size, &got) || got != size)
        tvn::pixel::throwMessage(tvn::pixel::Msg::FileDamaged);
}

// One byte, or false at the end of the file.
bool readByte(void* file, unsigned char* byte) {
    TVN_DWORD got = 0;
    return tvn::plat::fileRead(file, byte, 1, &got) && got == 1;
}

unsigned short word(const unsigned char* p) {
    return static_cast<unsigned short>(p[0] | (p[1] << 8));
}

} // namespace

namespace tvn {
namespace codecs {
namespace gif {

void readSignature(HANDLE file) {
    unsigned char signature[6];
    readExactly(file, signature, sizeof signature);
    // The version ("87a", "89a") is not examined.
    if (std::memcmp(signature, "GIF", 3) != 0) tvn::pixel::throwMessage(tvn::pixel::Msg::NotGif);
}

void readScreenDescriptor(HANDLE file, GIF_SCREEN_DESCR* screen) {
    unsigned char bytes[7];
    readExactly(file, bytes, sizeof bytes);
    screen->wWidth = word(bytes);
    screen->wHeight = word(bytes + 2);
    screen->byFlags = bytes[4];
    screen->byBackground = bytes[5];
    screen->byAspect = bytes[6];
}

void readColorMap(HANDLE file, unsigned char** table, TVN_DWORD bits) {
    const TVN_DWORD entries = TVN_DWORD(1) << bits;
    tvn::pixel::HeapBlock block(tvn::pixel::heapAllocOrThrow(entries, 3, 1, 1));
    readExactly(file, block.get(), entries * 3);
    *table = static_cast<unsigned char*>(block.release());
}

int readImageDescriptor(HANDLE file, GIF_IMAGE_DESCR* image) {
    unsigned char byte = 0;
    while (readByte(file, &byte)) {
        if (byte == tvn::codecs::gif::kTrailer) return 0;
        if (byte == tvn::codecs::gif::kImage) {
            unsigned char bytes[9];
            readExactly(file, bytes, sizeof bytes);
            image->wLeft = word(bytes);
            image->wTop = word(bytes + 2);
            image->wWidth = word(bytes + 4);
            image->wHeight = word(bytes + 6);
            image->byFlags = bytes[8];
            return 1;
        }
        if (byte == tvn::codecs::gif::kExtension) {
            // Skipped whole and never interpreted (transparency and delays
            // included): the first sub-block by its length, then up to a zero byte.
            unsigned char label = 0, length = 0;
            if (!readByte(file, &label) || !readByte(file, &length)) return 0;
            if (!tvn::plat::fileSeek(file, length, tvn::plat::SeekCurrent, nullptr))
                tvn::pixel::throwMessage(tvn::pixel::Msg::FileDamaged);
            do {
                if (!readByte(file, &byte)) return 0;
            } while (byte != 0);
        }
        // Any other byte is skipped.
    }
    return 0;
}

} // namespace gif

int decodeGif(HANDLE file, pixel::DECODED_PICTURE* out) {
    pixel::DecodedHolder holder(out);
    try {
        tvn::codecs::CGifLzwDecoder decoder;
        gif::readSignature(file);
        GIF_SCREEN_DESCR screen;
        gif::readScreenDescriptor(file, &screen);
        const TVN_DWORD width = screen.wWidth, height = screen.wHeight;
        holder.reset(static_cast<TVN_DWORD*>(pixel::heapAllocOrThrow(width, height, 4, 0)), width, height);
        TVN_DWORD* const pixels = out->plane.pWords;

        tvn::pixel::HeapBlock palette(tvn::pixel::heapAllocOrThrow(tvn::codecs::gif::kTableEntries, 4, 1, 0));
        tvn::pixel::HeapBlock globalTable;
        TVN_DWORD globalEntries = 0;
        const std::size_t pixelCount = static_cast<std::size_t>(width) * height;
        if (screen.byFlags & tvn::codecs::gif::kFlagColorTable) {
            const TVN_DWORD bits = (screen.byFlags & tvn::codecs::gif::kSizeCodeMask) + 1u;
            unsigned char* table = nullptr;
            gif::readColorMap(file, &table, bits);
            globalTable.reset(table);
            globalEntries = TVN_DWORD(1) << bits;
        }
        // The screen is filled with global colour 0 before any image is drawn (the
        // fill is done together with the first image). Without a global table
        // nothing says what lies below the images: opaque black, like any index
        // without a colour.
        const TVN_DWORD background =
            globalTable.get() ? tvn::codecs::gif::pixelOf(globalTable.as<unsigned char>()) : 0xFF000000u;
        bool filled = false;

        GIF_IMAGE_DESCR image;
        while (gif::readImageDescriptor(file, &image)) {
            tvn::pixel::HeapBlock localTable;
            const unsigned char* table = globalTable.as<unsigned char>();
            TVN_DWORD entries = globalEntries;
            if (image.byFlags & tvn::codecs::gif::kFlagColorTable) {
                const TVN_DWORD bits = (image.byFlags & tvn::codecs::gif::kSizeCodeMask) + 1u;
                unsigned char* local = nullptr;
                gif::readColorMap(file, &local, bits);
                localTable.reset(local);
                table = local;
                entries = TVN_DWORD(1) << bits;
            }
            tvn::codecs::gif::buildPalette(palette.as<TVN_DWORD>(), table, entries);

            std::size_t bytes = 0;
            const TVN_DWORD slack =
                (tvn::codecs::CGifLzwDecoder::kIndexLead + tvn::codecs::CGifLzwDecoder::kIndexSlack) * 2;
            if (!tvn::pixel::checkedSize(image.wWidth, image.wHeight, 2, &bytes) || bytes > ~std::size_t(0) - slack)
                tvn::pixel::throwMessage(tvn::pixel::Msg::OutOfMemory);
            // Only the indices the decoder stores are ever drawn, so the buffer
            // needs no clearing.
            tvn::pixel::HeapBlock indices(tvn::pixel::heapAlloc(bytes + slack));
            if (!indices.get()) tvn::pixel::throwMessage(tvn::pixel::Msg::OutOfMemory);
            const TVN_DWORD capacity = static_cast<TVN_DWORD>(image.wWidth) * image.wHeight;
            unsigned short* output = indices.as<unsigned short>() + tvn::codecs::CGifLzwDecoder::kIndexLead;
            const TVN_DWORD count = decoder.decodeImage(file, output, capacity);
            tvn::codecs::gif::drawImage(pixels, width, height, image, output, count, palette.as<TVN_DWORD>());
            if (!filled) tvn::codecs::gif::fillAroundImage(pixels, width, height, image, count, background);
            filled = true;
        }
        if (!filled)
            for (std::size_t i = 0; i < pixelCount; ++i) pixels[i] = background;
        holder.keep();
        return 1;
    } catch (char* text) {
        return readerFailed(text);
    }
}

} // namespace codecs
} // namespace tvn
