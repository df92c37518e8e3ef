#include "pixel/rle_packets.h"

namespace tvn::pixel {

namespace {
// A packed pixel: alpha, blue, green, red, most significant byte first.
inline TVN_DWORD packedPixel(const unsigned char* p) {
    return (static_cast<TVN_DWORD>(p[0]) << 24) | (static_cast<TVN_DWORD>(p[1]) << 16) |
           (static_cast<TVN_DWORD>(p[2]) << 8) | p[3];
}
} // namespace

std::size_t RlePacketDecoder::feed(const unsigned char* data, std::size_t length) {
    std::size_t pos = 0;
    if (!m_out) {
        while (pos < length && m_stored < m_pixels) {
            const unsigned char header = data[pos];
            const std::size_t n = static_cast<std::size_t>(header & 0x7F) + 1;
            const std::size_t size = header & 0x80 ? 5 : 1 + 4 * n;
            if (n > m_pixels - m_stored) return kFault;
            if (size > length - pos) break;
            m_stored += n;
            pos += size;
        }
        return pos;
    }
    TVN_DWORD alphaAnd = m_alphaAnd;
    while (pos < length && m_stored < m_pixels) {
        const unsigned char header = data[pos];
        const std::size_t n = static_cast<std::size_t>(header & 0x7F) + 1;
        const std::size_t size = header & 0x80 ? 5 : 1 + 4 * n;
        if (n > m_pixels - m_stored) {
            m_alphaAnd = alphaAnd;
            return kFault;
        }
        if (size > length - pos) break;
        TVN_DWORD* out = m_out + m_stored;
        if (header & 0x80) {
            const TVN_DWORD pel = packedPixel(data + pos + 1);
            for (std::size_t i = 0; i < n; ++i) out[i] = pel;
            alphaAnd &= pel;
        } else {
            m_bigEndianToWords(data + pos + 1, out, n);
            for (std::size_t i = 0; i < n; ++i) alphaAnd &= out[i];
        }
        m_stored += n;
        pos += size;
    }
    m_alphaAnd = alphaAnd;
    return pos;
}

} // namespace tvn::pixel
