// Unpacking a frame's packed pixels (the stream of CRGBAImage::compressRLE)
// straight into the host's buffer, as the bytes arrive from the file. The
// run-length constructor would unpack into a picture of its own, to be copied
// out once more; and reading the whole stream before unpacking it would send it
// through main memory twice. Fed in blocks that stay in the processor's cache,
// a large frame costs little more than the unpacking itself.
#ifndef TIVORN_CACHE_FRAME_UNPACK_H
#define TIVORN_CACHE_FRAME_UNPACK_H

#include <cstddef>

#include "tivorn/types.h"

namespace tvn {
namespace cache {

class FrameUnpacker {
public:
    static const std::size_t kFault = static_cast<std::size_t>(-1);

    FrameUnpacker(TVN_DWORD* out, std::size_t pixels) : m_out(out), m_pixels(pixels), m_stored(0) {}
    // Unpacks the whole packets at the start of data and returns the bytes they
    // took (a packet cut off at the end is left for the next call); kFault when a
    // packet runs past the frame's pixels.
    std::size_t feed(const unsigned char* data, std::size_t length);
    bool complete() const { return m_stored == m_pixels; }

private:
    TVN_DWORD* m_out;
    std::size_t m_pixels;
    std::size_t m_stored;
};

} // namespace cache
} // namespace tvn

#endif
