// The TGA writer: the current picture as an uncompressed 32-bit file with footer.
#include "tivorn/image.h"
#include "pixel/rows.h"
#include "codecs/tga_format.h"
#include "pixel/heap.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace {

// Pixels are converted and written in slices of this many, so a large picture
// needs no second full-size buffer.
const std::size_t kSlicePixels = 64 * 1024;

bool writeAll(HANDLE file, const void* data, std::size_t size) {
    TVN_DWORD written = 0;
    return tvn::plat::fileWrite(file, data, static_cast<TVN_DWORD>(size), &written) && written == size;
}

} // namespace

int CRGBAImage::saveTGA(const char* fileName) {
    if (!fileName) return 0;
    const std::size_t total = static_cast<std::size_t>(m_pBuffer ? m_dwWidth : 0) * (m_pBuffer ? m_dwHeight : 0);
    std::size_t sliceBytes = 0;
    if (!tvn::pixel::checkedSize(static_cast<TVN_DWORD>(std::min(total, kSlicePixels)), 4, 1, &sliceBytes)) return 0;
    // Allocated before the file is created, so running out of memory never
    // replaces an existing file with a partial one.
    tvn::pixel::HeapBlock slice(tvn::pixel::heapAlloc(sliceBytes));
    if (!slice.get()) return 0;

    HANDLE file = tvn::plat::fileCreateWrite(fileName);
    if (file == INVALID_HANDLE_VALUE) return 0;
    tvn::plat::CPlatformFile closer(file);

    TGA_HEADER header;
    std::memset(&header, 0, sizeof header);
    header.byImageType = tvn::codecs::kTgaTypeTrueColor;
    header.wWidth = static_cast<std::uint16_t>(m_dwWidth);
    header.wHeight = static_cast<std::uint16_t>(m_dwHeight);
    header.byPixelDepth = 32;
    header.byDescriptor = 8; // eight alpha bits, origin bottom left
    if (!writeAll(file, &header, sizeof header)) return 0;

    unsigned char* bytes = slice.as<unsigned char>();
    for (std::size_t done = 0; done < total;) {
        const std::size_t n = std::min(total - done, kSlicePixels);
        tvn::pixel::rows::rowKernels().wordsToBgra(m_pBuffer + done, bytes, n);
        if (!writeAll(file, bytes, n * 4)) return 0;
        done += n;
    }

    TGA_FOOTER footer;
    std::memset(&footer, 0, sizeof footer);
    std::memcpy(footer.signature, tvn::codecs::kTgaSignature, sizeof tvn::codecs::kTgaSignature);
    return writeAll(file, &footer, sizeof footer) ? 1 : 0;
}
