// The run-length constructor: decodes the packed stream that compressRLE makes.
#include "tivorn/image.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "image/file_names.h"

#include <cstring>

namespace {
inline TVN_DWORD packedPixel(const unsigned char* p) {
    // Most significant byte first: alpha, blue, green, red.
    return (static_cast<TVN_DWORD>(p[0]) << 24) | (static_cast<TVN_DWORD>(p[1]) << 16) |
           (static_cast<TVN_DWORD>(p[2]) << 8) | p[3];
}
} // namespace

CRGBAImage::CRGBAImage(const unsigned char* packed, TVN_DWORD packedLength, TVN_DWORD width, TVN_DWORD height)
    : m_pBuffer(nullptr), m_pOrigBuffer(nullptr), m_pSavedAlpha(nullptr), m_dwWidth(width), m_dwHeight(height),
      m_dwWidthOrig(width), m_dwHeightOrig(height), m_strFileName(nullptr), m_strMaskFileName(nullptr),
      m_bContainsAlpha(0), m_hReadFile(INVALID_HANDLE_VALUE), m_readBuf(), m_nReadLast(-1), m_nReadNext(0),
      m_transp(), m_nBlurKrnlSize(0), m_nResizeFilter(1) {
    m_transp.byMode = TRANSP_ORIGINAL;
    std::size_t bytes = 0;
    if (!tvn::pixel::checkedSize(width, height, 4, &bytes)) tvn::pixel::throwMessage(tvn::pixel::Msg::OutOfMemory);
    const std::size_t total = bytes / 4;
    tvn::pixel::HeapBlock block(tvn::pixel::heapAlloc(bytes));
    if (!block.get()) tvn::pixel::throwMessage(tvn::pixel::Msg::OutOfMemory);
    TVN_DWORD* out = block.as<TVN_DWORD>();
    if (total && !packed) tvn::pixel::throwEmpty();

    std::size_t stored = 0, pos = 0;
    TVN_DWORD alphaAnd = 0xFFFFFFFFu;
    while (stored < total) {
        if (pos >= packedLength) tvn::pixel::throwEmpty();
        const unsigned char h = packed[pos++];
        const std::size_t n = static_cast<std::size_t>(h & 0x7F) + 1;
        if (n > total - stored) tvn::pixel::throwEmpty();
        if (h & 0x80) {
            if (packedLength - pos < 4) tvn::pixel::throwEmpty();
            const TVN_DWORD pel = packedPixel(packed + pos);
            pos += 4;
            for (std::size_t i = 0; i < n; ++i) out[stored + i] = pel;
            alphaAnd &= pel;
        } else {
            if ((packedLength - pos) / 4 < n) tvn::pixel::throwEmpty();
            for (std::size_t i = 0; i < n; ++i, pos += 4) {
                const TVN_DWORD pel = packedPixel(packed + pos);
                out[stored + i] = pel;
                alphaAnd &= pel;
            }
        }
        stored += n;
    }
    m_bContainsAlpha = (alphaAnd >> 24) != 0xFF;
    m_strFileName = static_cast<char*>(tvn::pixel::heapAllocZero(tvn::image::kNameSize));
    m_strMaskFileName = static_cast<char*>(tvn::pixel::heapAllocZero(tvn::image::kNameSize));
    m_pBuffer = static_cast<TVN_DWORD*>(block.release());
}
