// The run-length TGA reader and its byte reader. Every byte comes through the
// 512-byte read-ahead buffer of the image, in getNextByte's order and with its
// reads: a packet whose bytes are all buffered is decoded straight from the
// buffer; one that crosses the end of the buffered bytes is gathered first,
// taking what is buffered in one piece and refilling through getNextByte.
#include "tivorn/image.h"
#include "bmp_pixels.h"
#include "tga_pixels.h"
#include "../pixel/module_start.h"
#include "../platform/platform.h"

#include <algorithm>
#include <cstring>

namespace {

void words16(const unsigned char* p, TVN_DWORD* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, p += 2) out[i] = tvn::tga::word16(p[0] | (p[1] << 8));
}

// Converts the literal values of a packet: chosen once per picture.
tvn::px::RowConverter literalConverter(unsigned depth) {
    if (depth == 16) return words16;
    if (depth == 32) return tvn::px::bgraConverter();
    return tvn::px::bgrConverter();
}

// Stores the n pixels of one packet (header h, its value bytes at p).
inline void storePacket(unsigned h, const unsigned char* p, std::size_t n, unsigned depth,
                        tvn::px::RowConverter literals, TVN_DWORD* out) {
    if (h & 0x80) std::fill_n(out, n, tvn::tga::rleWord(p, depth));
    else literals(p, out, n);
}

} // namespace

void CRGBAImage::readTGAUnmappedRLE(void* file, unsigned char depth) {
    // Bytes left over from an earlier file must not be handed out, even when the
    // platform gives this file the same handle value.
    m_hReadFile = INVALID_HANDLE_VALUE;
    const std::size_t total = static_cast<std::size_t>(m_dwWidth) * m_dwHeight;
    const unsigned valueBytes = tvn::tga::rleValueBytes(depth);
    const tvn::px::RowConverter literals = literalConverter(depth);
    TVN_DWORD* out = m_pBuffer;
    std::size_t stored = 0;
    unsigned char packet[1 + 128 * 4];

    while (stored < total) {
        const bool buffered = m_hReadFile == file && m_nReadNext <= m_nReadLast;
        const unsigned h = buffered ? m_readBuf[m_nReadNext] : getNextByte(file);
        const std::size_t n = std::min<std::size_t>((h & 0x7F) + 1, total - stored);
        // Bytes after the last needed pixel are not taken.
        const std::size_t values = ((h & 0x80) ? 1 : n) * valueBytes;
        if (buffered && static_cast<std::size_t>(m_nReadLast - m_nReadNext) >= values) {
            storePacket(h, m_readBuf + m_nReadNext + 1, n, depth, literals, out + stored);
            m_nReadNext += static_cast<int>(values + 1);
        } else {
            if (buffered) ++m_nReadNext; // the header byte
            std::size_t got = 0;
            while (got < values) {
                if (m_nReadNext > m_nReadLast) {
                    packet[got++] = getNextByte(file);
                    continue;
                }
                const std::size_t take =
                    std::min<std::size_t>(static_cast<std::size_t>(m_nReadLast - m_nReadNext) + 1, values - got);
                std::memcpy(packet + got, m_readBuf + m_nReadNext, take);
                m_nReadNext += static_cast<int>(take);
                got += take;
            }
            storePacket(h, packet, n, depth, literals, out + stored);
        }
        stored += n;
    }
}

unsigned char CRGBAImage::getNextByte(void* file) {
    if (file != m_hReadFile) {
        m_hReadFile = file;
        std::memset(m_readBuf, 0, sizeof m_readBuf);
        m_nReadLast = -1;
        m_nReadNext = 0;
    }
    if (m_nReadNext > m_nReadLast) {
        TVN_DWORD got = 0;
        if (!tvn::plat::fileRead(file, m_readBuf, sizeof m_readBuf, &got) || got == 0) tvn::throwMessage(2);
        m_nReadLast = static_cast<int>(got) - 1;
        m_nReadNext = 0;
    }
    return m_readBuf[m_nReadNext++];
}
