// CRGBAImage: construction, copying, assignment and destruction.
#include "tivorn/image.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "image/file_names.h"

#include <cstring>

namespace {
using tvn::image::copyName;

char* newNameBuffer() {
    return static_cast<char*>(tvn::pixel::heapAllocZero(TVN_MAX_PATH));
}

// A deep copy of count elements of size `unit`, or null when src is null.
void* duplicate(const void* src, TVN_DWORD width, TVN_DWORD height, TVN_DWORD unit) {
    if (!src) return nullptr;
    void* p = tvn::pixel::heapAllocOrThrow(width, height, unit, 0);
    std::memcpy(p, src, static_cast<std::size_t>(width) * height * unit);
    return p;
}
} // namespace

char CRGBAImage::m_strPath[TVN_MAX_PATH] = {0};

#define TVN_IMAGE_DEFAULTS                                                                                \
    m_pBuffer(nullptr), m_pOrigBuffer(nullptr), m_pSavedAlpha(nullptr), m_dwWidth(0), m_dwHeight(0),     \
        m_dwWidthOrig(0), m_dwHeightOrig(0), m_strFileName(nullptr), m_strMaskFileName(nullptr),         \
        m_bContainsAlpha(0), m_hReadFile(INVALID_HANDLE_VALUE), m_readBuf(), m_nReadLast(-1),            \
        m_nReadNext(0), m_transp(), m_nBlurKrnlSize(0), m_nResizeFilter(1)

CRGBAImage::CRGBAImage() : TVN_IMAGE_DEFAULTS {
    m_transp.byMode = TRANSP_ORIGINAL;
    m_strFileName = newNameBuffer();
    m_strMaskFileName = newNameBuffer();
}

CRGBAImage::CRGBAImage(TVN_DWORD width, TVN_DWORD height) : TVN_IMAGE_DEFAULTS {
    m_transp.byMode = TRANSP_ORIGINAL;
    m_pBuffer = static_cast<TVN_DWORD*>(tvn::pixel::heapAllocOrThrow(width, height, 4, 1));
    m_dwWidth = m_dwWidthOrig = width;
    m_dwHeight = m_dwHeightOrig = height;
    m_strFileName = newNameBuffer();
    m_strMaskFileName = newNameBuffer();
}

CRGBAImage::CRGBAImage(const TVN_DWORD* pixels, TVN_DWORD width, TVN_DWORD height) : TVN_IMAGE_DEFAULTS {
    m_transp.byMode = TRANSP_ORIGINAL;
    m_pBuffer = static_cast<TVN_DWORD*>(tvn::pixel::heapAllocOrThrow(width, height, 4, 0));
    if (pixels) std::memcpy(m_pBuffer, pixels, static_cast<std::size_t>(width) * height * 4);
    else std::memset(m_pBuffer, 0, static_cast<std::size_t>(width) * height * 4);
    m_dwWidth = m_dwWidthOrig = width;
    m_dwHeight = m_dwHeightOrig = height;
    m_strFileName = newNameBuffer();
    m_strMaskFileName = newNameBuffer();
}

CRGBAImage::CRGBAImage(const CRGBAImage& other)
    : m_pBuffer(nullptr), m_pOrigBuffer(nullptr), m_pSavedAlpha(nullptr), m_dwWidth(other.m_dwWidth),
      m_dwHeight(other.m_dwHeight), m_dwWidthOrig(other.m_dwWidthOrig), m_dwHeightOrig(other.m_dwHeightOrig),
      m_strFileName(nullptr), m_strMaskFileName(nullptr), m_bContainsAlpha(other.m_bContainsAlpha),
      m_hReadFile(other.m_hReadFile), m_nReadLast(other.m_nReadLast), m_nReadNext(other.m_nReadNext),
      m_transp(other.m_transp), m_nBlurKrnlSize(other.m_nBlurKrnlSize), m_nResizeFilter(other.m_nResizeFilter) {
    std::memcpy(m_readBuf, other.m_readBuf, sizeof m_readBuf);
    m_strFileName = newNameBuffer();
    m_strMaskFileName = newNameBuffer();
    copyName(m_strFileName, other.m_strFileName);
    copyName(m_strMaskFileName, other.m_strMaskFileName);
    try {
        m_pBuffer = static_cast<TVN_DWORD*>(duplicate(other.m_pBuffer, m_dwWidth, m_dwHeight, 4));
        m_pOrigBuffer = static_cast<TVN_DWORD*>(duplicate(other.m_pOrigBuffer, m_dwWidthOrig, m_dwHeightOrig, 4));
        m_pSavedAlpha =
            static_cast<unsigned char*>(duplicate(other.m_pSavedAlpha, m_dwWidthOrig, m_dwHeightOrig, 1));
    } catch (...) {
        // A constructor that throws never runs its destructor: release here.
        tvn::pixel::heapFree(m_pBuffer);
        tvn::pixel::heapFree(m_pOrigBuffer);
        tvn::pixel::heapFree(m_strFileName);
        tvn::pixel::heapFree(m_strMaskFileName);
        throw;
    }
}

const CRGBAImage& CRGBAImage::operator=(CRGBAImage& other) {
    if (&other == this) return *this;
    // Allocate everything first, so a failure leaves the target untouched.
    tvn::pixel::HeapBlock pixels(duplicate(other.m_pBuffer, other.m_dwWidth, other.m_dwHeight, 4));
    tvn::pixel::HeapBlock orig(duplicate(other.m_pOrigBuffer, other.m_dwWidthOrig, other.m_dwHeightOrig, 4));
    tvn::pixel::HeapBlock alpha(duplicate(other.m_pSavedAlpha, other.m_dwWidthOrig, other.m_dwHeightOrig, 1));
    m_dwWidth = other.m_dwWidth;
    m_dwHeight = other.m_dwHeight;
    m_dwWidthOrig = other.m_dwWidthOrig;
    m_dwHeightOrig = other.m_dwHeightOrig;
    m_bContainsAlpha = other.m_bContainsAlpha;
    copyName(m_strFileName, other.m_strFileName);
    copyName(m_strMaskFileName, other.m_strMaskFileName);
    tvn::pixel::heapFree(m_pBuffer);
    tvn::pixel::heapFree(m_pOrigBuffer);
    tvn::pixel::heapFree(m_pSavedAlpha);
    m_pBuffer = static_cast<TVN_DWORD*>(pixels.release());
    m_pOrigBuffer = static_cast<TVN_DWORD*>(orig.release());
    m_pSavedAlpha = static_cast<unsigned char*>(alpha.release());
    m_transp = other.m_transp;
    m_nBlurKrnlSize = other.m_nBlurKrnlSize;
    m_nResizeFilter = other.m_nResizeFilter;
    return *this;
}

CRGBAImage::~CRGBAImage() {
    tvn::pixel::heapFree(m_pBuffer);
    tvn::pixel::heapFree(m_pOrigBuffer);
    tvn::pixel::heapFree(m_pSavedAlpha);
    tvn::pixel::heapFree(m_strFileName);
    tvn::pixel::heapFree(m_strMaskFileName);
}
