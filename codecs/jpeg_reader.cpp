// The JPEG reader: the whole file goes to the platform's picture decoder, which
// either writes the pixel words itself or makes a bitmap that is taken over like
// any bitmap handle. No message box on any failure: the result 0 lets load put
// the previous picture back.
#include "pixel/heap.h"
#include "platform/platform.h"
#include "tivorn/image.h"

namespace {
int takeBitmap(HBITMAP bitmap, void* image) {
    return static_cast<CRGBAImage*>(image)->fromHandle(bitmap) ? 1 : 0;
}

// The words a direct decode writes, owned here until the picture is complete.
struct DecodedWords {
    tvn::HeapBlock pixels;
    TVN_DWORD width = 0, height = 0;
};

TVN_DWORD* allocateWords(void* context, TVN_DWORD width, TVN_DWORD height) {
    DecodedWords* words = static_cast<DecodedWords*>(context);
    std::size_t bytes = 0;
    if (!tvn::checkedSize(width, height, 4, &bytes)) return nullptr;
    words->pixels.reset(tvn::heapAlloc(bytes));
    words->width = width;
    words->height = height;
    return words->pixels.as<TVN_DWORD>();
}
} // namespace

int CRGBAImage::readJPEGFile(void* file) {
    const TVN_DWORD size = tvn::plat::fileSize(file);
    if (size == tvn::plat::kInvalidFileSize) return 0;
    tvn::HeapBlock bytes(tvn::heapAlloc(size));
    if (!bytes.get()) return 0;
    TVN_DWORD got = 0;
    if (!tvn::plat::fileRead(file, bytes.get(), size, &got) || got != size) return 0;
    DecodedWords words;
    switch (tvn::plat::decodePictureInto(bytes.get(), size, &allocateWords, &words)) {
    case tvn::plat::PictureUseBitmap: return tvn::plat::decodePicture(bytes.get(), size, &takeBitmap, this);
    case tvn::plat::PictureFailed: return 0;
    case tvn::plat::PictureDecoded: break;
    }
    tvn::heapFree(m_pBuffer);
    tvn::heapFree(m_pOrigBuffer);
    tvn::heapFree(m_pSavedAlpha);
    m_pBuffer = static_cast<TVN_DWORD*>(words.pixels.release());
    m_pOrigBuffer = nullptr;
    m_pSavedAlpha = nullptr;
    m_dwWidth = m_dwWidthOrig = words.width;
    m_dwHeight = m_dwHeightOrig = words.height;
    m_bContainsAlpha = 0;
    return 1;
}
