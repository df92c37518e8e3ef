// The run-length TGA reader and its byte reader. Every byte comes through the
// 512-byte read-ahead buffer of the image; packets that lie wholly inside the
// buffered bytes are decoded straight from it, which hands out the same bytes
// in the same order as getNextByte would, with the same buffer state after.
#include "tivorn/image.h"
#include "bmp_pixels.h"
#include "tga_pixels.h"
#include "../pixel/module_start.h"
#include "../platform/platform.h"

#include <algorithm>
#include <cstring>

void CRGBAImage::readTGAUnmappedRLE(void* file, unsigned char depth) {
    // Bytes left over from an earlier file must not be handed out, even when the
    // platform gives this file the same handle value.
    m_hReadFile = INVALID_HANDLE_VALUE;
    const std::size_t total = static_cast<std::size_t>(m_dwWidth) * m_dwHeight;
    const unsigned valueBytes = tvn::tga::rleValueBytes(depth);
    TVN_DWORD* out = m_pBuffer;
    std::size_t stored = 0;
    unsigned char value[4];

    while (stored < total) {
        if (m_hReadFile == file && m_nReadNext <= m_nReadLast) {
            const unsigned char* p = m_readBuf + m_nReadNext;
            const std::size_t avail = static_cast<std::size_t>(m_nReadLast - m_nReadNext) + 1;
            const unsigned h = p[0];
            const std::size_t n = std::min<std::size_t>((h & 0x7F) + 1, total - stored);
            const std::size_t need = 1 + ((h & 0x80) ? valueBytes : n * valueBytes);
            if (need <= avail) {
                if (h & 0x80) {
                    std::fill_n(out + stored, n, tvn::tga::rleWord(p + 1, depth));
                } else if (valueBytes == 3) {
                    tvn::px::bgrToWords(p + 1, out + stored, n);
                } else if (depth == 32) {
                    tvn::px::bgraToWords(p + 1, out + stored, n);
                } else {
                    for (std::size_t i = 0; i < n; ++i) out[stored + i] = tvn::tga::rleWord(p + 1 + 2 * i, depth);
                }
                m_nReadNext += static_cast<int>(need);
                stored += n;
                continue;
            }
        }
        // The packet crosses the end of the buffered bytes: byte by byte.
        const unsigned h = getNextByte(file);
        const std::size_t n = std::min<std::size_t>((h & 0x7F) + 1, total - stored);
        if (h & 0x80) {
            for (unsigned b = 0; b < valueBytes; ++b) value[b] = getNextByte(file);
            std::fill_n(out + stored, n, tvn::tga::rleWord(value, depth));
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                for (unsigned b = 0; b < valueBytes; ++b) value[b] = getNextByte(file);
                out[stored + i] = tvn::tga::rleWord(value, depth);
            }
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
