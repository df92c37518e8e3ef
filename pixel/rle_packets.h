// The packets of the library's run-length stream (CRGBAImage::compressRLE): a
// header byte whose top bit says run (one pixel follows, stored that many
// times) or literal (that many pixels follow), and whose low seven bits give the
// count less one; each pixel as four bytes, alpha, blue, green, red. Every
// reader of such a stream (the run-length constructor, a cache frame's pixels)
// unpacks it here: the picture ends at its last pixel, and bytes after it are
// not read.
#ifndef TIVORN_PIXEL_RLE_PACKETS_H
#define TIVORN_PIXEL_RLE_PACKETS_H

#include <cstddef>

#include "pixel/rows.h"

namespace tvn::pixel {

class RlePacketDecoder {
public:
    static const std::size_t kFault = static_cast<std::size_t>(-1);
    // The longest packet: a header and 128 literal pixels.
    static const std::size_t kLongestPacket = 1 + 4 * 128;

    // out null: the packets are only checked and counted, nothing is written.
    RlePacketDecoder(TVN_DWORD* out, std::size_t pixels)
        : m_out(out), m_pixels(pixels), m_stored(0), m_alphaAnd(0xFFFFFFFFu),
          m_bigEndianToWords(rows::rowKernels().bigEndianToWords) {}

    // Unpacks the whole packets at the start of data until the picture is
    // complete, and returns the bytes they took (a packet cut off at the end is
    // left for the next call); kFault when a packet runs past the last pixel.
    std::size_t feed(const unsigned char* data, std::size_t length);
    bool complete() const { return m_stored == m_pixels; }
    // The bitwise AND of every pixel stored so far (its top byte tells whether
    // all of them are opaque).
    TVN_DWORD alphaAnd() const { return m_alphaAnd; }

private:
    TVN_DWORD* m_out;
    std::size_t m_pixels;
    std::size_t m_stored;
    TVN_DWORD m_alphaAnd;
    rows::ToWords m_bigEndianToWords;
};

} // namespace tvn::pixel

#endif
