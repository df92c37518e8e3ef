// Keeping the picture's own alpha: saved once, before the first mode changes it,
// and written back on request.
//
// The saved copy is made at the original size, and nothing grows the original
// size while a copy exists (a load and a bitmap import release it; trimByAlpha
// only shrinks the picture; copying an image copies the bytes its original size
// covers). So reading original width x height bytes never reads beyond what was
// saved. After a trim the saved rows keep their old width; they are applied in
// buffer order, as far as the smaller picture reaches.
#include <algorithm>
#include <cstddef>

#include "alpha/alpha_frame.h"
#include "pixel/heap.h"
#include "tivorn/image.h"

namespace {

// Pixels of the current picture that a count in original pixels may touch
// without a copy: a stretched picture is wider than its original size, and by
// design no buffer is ever read or written past its end.
std::size_t reachable(bool untouchedCopy, TVN_DWORD width, TVN_DWORD height, std::size_t originalCount) {
    if (untouchedCopy) return originalCount;
    const std::size_t current = static_cast<std::size_t>(width) * height;
    return std::min(originalCount, current);
}

} // namespace

void CRGBAImage::saveAlpha() {
    if (m_pSavedAlpha || !m_pBuffer) return;
    std::size_t count = 0;
    if (!tvn::pixel::checkedSize(m_dwWidthOrig, m_dwHeightOrig, 1, &count)) return;
    unsigned char* saved = static_cast<unsigned char*>(tvn::pixel::heapAlloc(count));
    if (!saved) return;
    const TVN_DWORD* src = m_pOrigBuffer ? m_pOrigBuffer : m_pBuffer;
    tvn::alpha::copyAlphaOut(src, reachable(m_pOrigBuffer != nullptr, m_dwWidth, m_dwHeight, count), saved, count);
    m_pSavedAlpha = saved;
}

int CRGBAImage::restoreAlpha(int filter, IMG_PROGRESS_PROC progress, void* user) {
    if (!m_pSavedAlpha) return 0;
    TVN_DWORD* target = m_pOrigBuffer ? m_pOrigBuffer : m_pBuffer;
    if (target) {
        const std::size_t count = static_cast<std::size_t>(m_dwWidthOrig) * m_dwHeightOrig;
        tvn::alpha::copyAlphaIn(target, m_pSavedAlpha,
                                reachable(m_pOrigBuffer != nullptr, m_dwWidth, m_dwHeight, count));
    }
    if (m_dwWidth == m_dwWidthOrig && m_dwHeight == m_dwHeightOrig) return 1;
    setSize(m_dwWidth, m_dwHeight, filter, progress, user);
    return 1;
}
