#include "cache/frame_unpack.h"

#include "pixel/rows.h"

namespace tvn {
namespace cache {

namespace {
// A packed pixel: alpha, blue, green, red, most significant byte first.
inline TVN_DWORD packedPixel(const unsigned char* p) {
    return (static_cast<TVN_DWORD>(p[0]) << 24) | (static_cast<TVN_DWORD>(p[1]) << 16) |
           (static_cast<TVN_DWORD>(p[2]) << 8) | p[3];
}
} // namespace

std::size_t FrameUnpacker::feed(const unsigned char* data, std::size_t length) {
    std::size_t pos = 0;
    while (pos < length) {
        const unsigned char header = data[pos];
        const std::size_t n = static_cast<std::size_t>(header & 0x7F) + 1;
        const std::size_t size = header & 0x80 ? 5 : 1 + 4 * n;
        if (n > m_pixels - m_stored) return kFault; // also bytes after the last pixel
        if (size > length - pos) break;
        if (header & 0x80) {
            const TVN_DWORD pel = packedPixel(data + pos + 1);
            for (std::size_t i = 0; i < n; ++i) m_out[m_stored + i] = pel;
        } else {
            pixel::rows::rowKernels().bigEndianToWords(data + pos + 1, m_out + m_stored, n);
        }
        m_stored += n;
        pos += size;
    }
    return pos;
}

} // namespace cache
} // namespace tvn
