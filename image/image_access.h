// Internal access to the fields of CRGBAImage for the library's own subsystems
// (scaler, readers, transparency), which work on them as free functions.
#ifndef TIVORN_IMAGE_ACCESS_H
#define TIVORN_IMAGE_ACCESS_H

#include <cstddef>

#include "tivorn/image.h"

// In tvn:: itself, not tvn::image: the public header befriends it by this name.
namespace tvn {

struct ImageAccess {
    static TVN_DWORD*& buffer(CRGBAImage& i) { return i.m_pBuffer; }
    static TVN_DWORD*& origBuffer(CRGBAImage& i) { return i.m_pOrigBuffer; }
    static unsigned char*& savedAlpha(CRGBAImage& i) { return i.m_pSavedAlpha; }
    static TVN_DWORD& width(CRGBAImage& i) { return i.m_dwWidth; }
    static TVN_DWORD& height(CRGBAImage& i) { return i.m_dwHeight; }
    static TVN_DWORD& widthOrig(CRGBAImage& i) { return i.m_dwWidthOrig; }
    static TVN_DWORD& heightOrig(CRGBAImage& i) { return i.m_dwHeightOrig; }
    static char* fileName(CRGBAImage& i) { return i.m_strFileName; }
    static char* maskFileName(CRGBAImage& i) { return i.m_strMaskFileName; }
    static int& containsAlpha(CRGBAImage& i) { return i.m_bContainsAlpha; }
    static HANDLE& readFile(CRGBAImage& i) { return i.m_hReadFile; }
    static unsigned char* readBuf(CRGBAImage& i) { return i.m_readBuf; }
    static int& readLast(CRGBAImage& i) { return i.m_nReadLast; }
    static int& readNext(CRGBAImage& i) { return i.m_nReadNext; }
    static IMG_TRANSP& transp(CRGBAImage& i) { return i.m_transp; }
    static unsigned int& blurSize(CRGBAImage& i) { return i.m_nBlurKrnlSize; }
    static int& resizeFilter(CRGBAImage& i) { return i.m_nResizeFilter; }
    static void blur(CRGBAImage& i, unsigned int* k, int rebuild) { i.blur(k, rebuild); }

    // The readers on an already open file (tests and fuzzers reach them without load).
    static int readBMP(CRGBAImage& i, HANDLE f) { return i.readBMPFile(f); }
    static int readTGA(CRGBAImage& i, HANDLE f) { return i.readTGAFile(f); }
    static int readGIF(CRGBAImage& i, HANDLE f) { return i.readGIFFile(f); }
    static int readJPEG(CRGBAImage& i, HANDLE f) { return i.readJPEGFile(f); }
    static int showFileDialog(CRGBAImage& i, const char* start) { return i.showFileDialog(start); }

    // Field offsets, for the layout checks of the 32-bit DLL.
    static constexpr std::size_t kOffsetBuffer = offsetof(CRGBAImage, m_pBuffer);
    static constexpr std::size_t kOffsetOrigBuffer = offsetof(CRGBAImage, m_pOrigBuffer);
    static constexpr std::size_t kOffsetSavedAlpha = offsetof(CRGBAImage, m_pSavedAlpha);
    static constexpr std::size_t kOffsetWidth = offsetof(CRGBAImage, m_dwWidth);
    static constexpr std::size_t kOffsetHeightOrig = offsetof(CRGBAImage, m_dwHeightOrig);
    static constexpr std::size_t kOffsetFileName = offsetof(CRGBAImage, m_strFileName);
    static constexpr std::size_t kOffsetMaskFileName = offsetof(CRGBAImage, m_strMaskFileName);
    static constexpr std::size_t kOffsetContainsAlpha = offsetof(CRGBAImage, m_bContainsAlpha);
    static constexpr std::size_t kOffsetReadFile = offsetof(CRGBAImage, m_hReadFile);
    static constexpr std::size_t kOffsetReadBuf = offsetof(CRGBAImage, m_readBuf);
    static constexpr std::size_t kOffsetReadLast = offsetof(CRGBAImage, m_nReadLast);
    static constexpr std::size_t kOffsetReadNext = offsetof(CRGBAImage, m_nReadNext);
    static constexpr std::size_t kOffsetTransp = offsetof(CRGBAImage, m_transp);
    static constexpr std::size_t kOffsetBlur = offsetof(CRGBAImage, m_nBlurKrnlSize);
    static constexpr std::size_t kOffsetFilter = offsetof(CRGBAImage, m_nResizeFilter);
};

} // namespace tvn

#endif
