// Taking over a bitmap handle: its rows as a 24-bit bottom-up device-independent
// bitmap, turned into opaque pixel words. Nothing changes on any failure.
#include "bgr_rows.h"
#include "pixel/heap.h"
#include "platform/platform.h"
#include "tivorn/image.h"

int CRGBAImage::fromHandle(HBITMAP bitmap) {
    long width = 0, height = 0;
    if (!tvn::plat::bitmapSize(bitmap, &width, &height)) return 0;
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFFL || height > 0x7FFFFFFFL) return 0;
    const TVN_DWORD w = static_cast<TVN_DWORD>(width);
    const TVN_DWORD h = static_cast<TVN_DWORD>(height);

    std::size_t pixelBytes = 0, rowBytes = 0;
    if (!tvn::checkedSize(w, h, 4, &pixelBytes)) return 0;
    const unsigned long long stride = (3ull * w + 3) & ~3ull;
    if (stride > 0xFFFFFFFFull || !tvn::checkedSize(static_cast<TVN_DWORD>(stride), h, 1, &rowBytes)) return 0;

    tvn::HeapBlock pixels(tvn::heapAlloc(pixelBytes));
    if (!pixels.get()) return 0;
    tvn::HeapBlock rows(tvn::heapAlloc(rowBytes));
    if (!rows.get()) return 0;
    if (!tvn::plat::bitmapRows24(bitmap, width, height, rows.get())) return 0;

    // Both sides are bottom-up: row r of the bitmap is row r of the picture.
    const unsigned char* src = rows.as<unsigned char>();
    TVN_DWORD* dst = pixels.as<TVN_DWORD>();
    for (TVN_DWORD r = 0; r < h; ++r)
        tvn::bgrRowToPixels(src + static_cast<std::size_t>(r) * stride, dst + static_cast<std::size_t>(r) * w, w);
    rows.reset();

    tvn::heapFree(m_pBuffer);
    tvn::heapFree(m_pOrigBuffer);
    tvn::heapFree(m_pSavedAlpha);
    m_pBuffer = static_cast<TVN_DWORD*>(pixels.release());
    m_pOrigBuffer = nullptr;
    m_pSavedAlpha = nullptr;
    m_dwWidth = m_dwWidthOrig = w;
    m_dwHeight = m_dwHeightOrig = h;
    m_bContainsAlpha = 0;
    return 1;
}
