// The image's public and private blur over the plane-level box blur.
#include "pixel/heap.h"
#include "image/rebuild.h"
#include "resample/blur.h"
#include "tivorn/image.h"

void CRGBAImage::blur(unsigned int* pKernel) {
    blur(pKernel, 1);
}

// A shortage of memory (or a picture of width 0, which no blur can reduce to)
// leaves the image as the rebuild left it. The untouched copy is secured first
// (when the rebuild did not make it), so that it can never be taken from a
// blurred picture.
void CRGBAImage::blur(unsigned int* pKernel, int rebuild) {
    if (!pKernel) return;
    if (rebuild) setSize(m_dwWidth, m_dwHeight, m_nResizeFilter, nullptr, nullptr);
    if (*pKernel == 0 || !m_pBuffer || m_dwWidth == 0 || !tvn::image::ensureUntouchedCopy(*this)) return;
    tvn::resample::BlurBuffers buffers;
    if (!tvn::resample::allocBlurBuffers(m_dwWidth, m_dwHeight, *pKernel, &buffers)) return;
    tvn::resample::boxBlur(m_pBuffer, buffers.picture, m_dwWidth, m_dwHeight, pKernel, buffers.column);
    tvn::pixel::heapFree(m_pBuffer);
    m_pBuffer = buffers.picture;
    buffers.picture = nullptr;
    m_dwWidth += 2 * *pKernel;
    m_dwHeight += 2 * *pKernel;
    m_nBlurKrnlSize = *pKernel;
    tvn::resample::freeBlurBuffers(&buffers);
}
