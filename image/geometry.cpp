// Geometry of the picture: mirroring, trimming to the opaque area, stretching.
// Flips never allocate (rows are exchanged in place), so they cannot fail;
// trimming and stretching allocate everything first and leave the picture as
// it was when an allocation fails.
#include "tivorn/image.h"
#include "pixel/heap.h"
#include "pixel/plane.h"

#include <algorithm>
#include <cstring>

namespace {

// Widens every row to `n` by repeating its middle column (the rule of stretchHorizontally).
template <class T> void stretchRows(const T* src, T* dst, std::size_t w, std::size_t n, std::size_t height) {
    const std::size_t m = w / 2, extra = n - w;
    for (std::size_t y = 0; y < height; ++y) {
        const T* s = src + y * w;
        T* d = dst + y * n;
        std::copy(s, s + m, d);
        std::fill(d + m, d + m + extra + 1, s[m]);
        std::copy(s + m + 1, s + w, d + m + extra + 1);
    }
}

} // namespace

using tvn::pixel::exchangeRows;
using tvn::pixel::mirrorRows;

void CRGBAImage::flipHorizontal() {
    mirrorRows(m_pBuffer, m_dwWidth, m_dwHeight);
    mirrorRows(m_pOrigBuffer, m_dwWidthOrig, m_dwHeightOrig);
    mirrorRows(m_pSavedAlpha, m_dwWidthOrig, m_dwHeightOrig);
}

void CRGBAImage::flipVertical() {
    exchangeRows(m_pBuffer, m_dwWidth, m_dwHeight);
    exchangeRows(m_pOrigBuffer, m_dwWidthOrig, m_dwHeightOrig);
    exchangeRows(m_pSavedAlpha, m_dwWidthOrig, m_dwHeightOrig);
}

void CRGBAImage::trimByAlpha(TVN_DWORD& x, TVN_DWORD& y) {
    if (m_dwWidth == 0 || m_dwHeight == 0 || !m_pBuffer) return;
    const std::size_t w = m_dwWidth, h = m_dwHeight;
    std::size_t left = w - 1, right = 0, low = h - 1, high = 0;
    for (std::size_t r = 0; r < h; ++r) {
        const TVN_DWORD* row = m_pBuffer + r * w;
        std::size_t c = 0;
        while (c < w && tvnGetAValue(row[c]) == 0) ++c;
        if (c == w) continue;
        std::size_t c2 = w - 1;
        while (tvnGetAValue(row[c2]) == 0) --c2;
        left = std::min(left, c);
        right = std::max(right, c2);
        low = std::min(low, r);
        high = std::max(high, r);
    }
    // Without any visible pixel this keeps the last word of the buffer.
    if (right < left) right = left;
    if (high < low) high = low;

    const std::size_t nw = right - left + 1, nh = high - low + 1;
    TVN_DWORD* trimmed = static_cast<TVN_DWORD*>(tvn::pixel::heapAlloc(nw * nh * 4));
    if (!trimmed) return; // the picture stays as it was, offsets unwritten
    for (std::size_t r = 0; r < nh; ++r) std::memcpy(trimmed + r * nw, m_pBuffer + (low + r) * w + left, nw * 4);

    // The saved alpha keeps its bytes, but it must still cover the new original
    // size that flips and restoreAlpha read; trimming an enlarged picture can make
    // the original larger than the saved copy, which is then dropped.
    if (m_pSavedAlpha && static_cast<unsigned long long>(nw) * nh >
                             static_cast<unsigned long long>(m_dwWidthOrig) * m_dwHeightOrig) {
        tvn::pixel::heapFree(m_pSavedAlpha);
        m_pSavedAlpha = nullptr;
    }
    tvn::pixel::heapFree(m_pOrigBuffer);
    m_pOrigBuffer = nullptr;
    tvn::pixel::heapFree(m_pBuffer);
    m_pBuffer = trimmed;
    x = static_cast<TVN_DWORD>(left);
    // Rows count from the bottom: this is the number of transparent rows above plus one.
    y = static_cast<TVN_DWORD>(h - high);
    m_dwWidth = m_dwWidthOrig = static_cast<TVN_DWORD>(nw);
    m_dwHeight = m_dwHeightOrig = static_cast<TVN_DWORD>(nh);
}

// The original size keeps its value, so afterwards the rows are wider than the
// original width although there is no untouched copy. What reads the current
// picture at the original size (the first resize, saveAlpha, restoreAlpha)
// takes original width x height words in buffer order, which the wider rows
// always hold; the saved alpha keeps covering the original size unchanged.
void CRGBAImage::stretchHorizontally(TVN_DWORD width) {
    if (m_pOrigBuffer || !m_pBuffer || width <= m_dwWidth) return;
    std::size_t bytes = 0;
    if (!tvn::pixel::checkedSize(width, m_dwHeight, 4, &bytes)) return;
    // A picture of width 0 has no middle column: its new rows are transparent black.
    tvn::pixel::HeapBlock pixels(m_dwWidth ? tvn::pixel::heapAlloc(bytes) : tvn::pixel::heapAllocZero(bytes));
    if (!pixels.get()) return;
    if (m_dwWidth) stretchRows(m_pBuffer, pixels.as<TVN_DWORD>(), m_dwWidth, width, m_dwHeight);
    tvn::pixel::heapFree(m_pBuffer);
    m_pBuffer = static_cast<TVN_DWORD*>(pixels.release());
    m_dwWidth = width;
}
