// Taking over a bitmap handle: its rows as a 24-bit bottom-up device-independent
// bitmap, turned into opaque pixel words. Nothing changes on any failure.
#include "bgr_rows.h"
#include "pixel/heap.h"
#include "platform/platform.h"
#include "tivorn/image.h"

namespace {
const TVN_DWORD kBandBytes = 256 * 1024;
} // namespace

int CRGBAImage::fromHandle(HBITMAP bitmap) {
    long width = 0, height = 0;
    if (!tvn::plat::bitmapSize(bitmap, &width, &height)) return 0;
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFFL || height > 0x7FFFFFFFL) return 0;
    const TVN_DWORD w = static_cast<TVN_DWORD>(width);
    const TVN_DWORD h = static_cast<TVN_DWORD>(height);

    std::size_t pixelBytes = 0;
    if (!tvn::checkedSize(w, h, 4, &pixelBytes)) return 0;
    // Below 2^32 since width x 4 is.
    const TVN_DWORD stride = (3 * w + 3) & ~TVN_DWORD(3);
    // The rows come over in bands that stay in cache while they are converted.
    TVN_DWORD band = kBandBytes / stride;
    if (band == 0) band = 1;
    if (band > h) band = h;

    tvn::HeapBlock pixels(tvn::heapAlloc(pixelBytes));
    if (!pixels.get()) return 0;
    tvn::HeapBlock rows(tvn::heapAlloc(static_cast<std::size_t>(band) * stride));
    if (!rows.get()) return 0;

    // Both sides are bottom-up: row r of the bitmap is row r of the picture.
    TVN_DWORD* dst = pixels.as<TVN_DWORD>();
    for (TVN_DWORD first = 0; first < h; first += band) {
        const TVN_DWORD lines = band < h - first ? band : h - first;
        if (!tvn::plat::bitmapRows24(bitmap, width, height, first, lines, rows.get())) return 0;
        for (TVN_DWORD r = 0; r < lines; ++r)
            tvn::bgrRowToPixels(rows.as<unsigned char>() + static_cast<std::size_t>(r) * stride,
                                dst + static_cast<std::size_t>(first + r) * w, w);
    }
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
