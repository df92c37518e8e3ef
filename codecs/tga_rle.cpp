// The run-length TGA reader and its byte reader. Every byte comes through the
// 512-byte read-ahead buffer of the image, in nextByte's order and with its
// reads: a packet whose bytes are all buffered is decoded straight from the
// buffer; one that crosses the end of the buffered bytes is gathered first,
// taking what is buffered in one piece and refilling through nextByte.
#include "codecs/decoders.h"
#include "codecs/tga_pixels.h"
#include "pixel/module_start.h"
#include "pixel/rows.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace {

void words16(const unsigned char* p, TVN_DWORD* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, p += 2) out[i] = tvn::codecs::tga::word16(p[0] | (p[1] << 8));
}

// Converts the literal values of a packet: chosen once per picture.
tvn::pixel::rows::ToWords literalConverter(unsigned depth) {
    if (depth == 16) return words16;
    if (depth == 32) return tvn::pixel::rows::rowKernels().bgraToWords;
    return tvn::pixel::rows::rowKernels().bgrToWords;
}

// Stores the n pixels of one packet (header h, its value bytes at p).
inline void storePacket(unsigned h, const unsigned char* p, std::size_t n, unsigned depth,
                        tvn::pixel::rows::ToWords literals, TVN_DWORD* out) {
    if (h & 0x80) std::fill_n(out, n, tvn::codecs::tga::rleWord(p, depth));
    else literals(p, out, n);
}

} // namespace

namespace tvn {
namespace codecs {
namespace tga {

void readUnmappedRLE(HANDLE file, unsigned char depth, READ_AHEAD& ra, const pixel::PIXEL_PLANE& plane) {
    // Bytes left over from an earlier file must not be handed out, even when the
    // platform gives this file the same handle value.
    ra.hFile = INVALID_HANDLE_VALUE;
    const std::size_t total = plane.count();
    const unsigned valueBytes = tvn::codecs::tga::rleValueBytes(depth);
    const tvn::pixel::rows::ToWords literals = literalConverter(depth);
    TVN_DWORD* out = plane.pWords;
    std::size_t stored = 0;
    unsigned char packet[1 + 128 * 4];

    while (stored < total) {
        const bool buffered = ra.hFile == file && ra.nNext <= ra.nLast;
        const unsigned h = buffered ? ra.pBuf[ra.nNext] : nextByte(file, ra);
        const std::size_t n = std::min<std::size_t>((h & 0x7F) + 1, total - stored);
        // Bytes after the last needed pixel are not taken.
        const std::size_t values = ((h & 0x80) ? 1 : n) * valueBytes;
        if (buffered && static_cast<std::size_t>(ra.nLast - ra.nNext) >= values) {
            storePacket(h, ra.pBuf + ra.nNext + 1, n, depth, literals, out + stored);
            ra.nNext += static_cast<int>(values + 1);
        } else {
            if (buffered) ++ra.nNext; // the header byte
            std::size_t got = 0;
            while (got < values) {
                if (ra.nNext > ra.nLast) {
                    packet[got++] = nextByte(file, ra);
                    continue;
                }
                const std::size_t take =
                    std::min<std::size_t>(static_cast<std::size_t>(ra.nLast - ra.nNext) + 1, values - got);
                std::memcpy(packet + got, ra.pBuf + ra.nNext, take);
                ra.nNext += static_cast<int>(take);
                got += take;
            }
            storePacket(h, packet, n, depth, literals, out + stored);
        }
        stored += n;
    }
}

unsigned char nextByte(HANDLE file, READ_AHEAD& ra) {
    if (file != ra.hFile) {
        ra.hFile = file;
        std::memset(ra.pBuf, 0, 512);
        ra.nLast = -1;
        ra.nNext = 0;
    }
    if (ra.nNext > ra.nLast) {
        TVN_DWORD got = 0;
        if (!plat::fileRead(file, ra.pBuf, 512, &got) || got == 0) pixel::throwMessage(pixel::Msg::FileDamaged);
        ra.nLast = static_cast<int>(got) - 1;
        ra.nNext = 0;
    }
    return ra.pBuf[ra.nNext++];
}

} // namespace tga
} // namespace codecs
} // namespace tvn
