// setSize and setSizeRough, the filter numbers, and the bilinear rebuild that
// the other subsystems use.
#include "pixel/heap.h"
#include "image/rebuild.h"
#include "resample/blur.h"
#include "resample/nearest_scaler.h"
#include "resample/two_pass_scaler.h"
#include "tivorn/image.h"

const int CRGBAImage::BoxFilter = 1;
const int CRGBAImage::BilinearFilter = 2;
const int CRGBAImage::BicubicFilter = 3;
const int CRGBAImage::GaussianFilter = 4;
const int CRGBAImage::HammingFilter = 5;
const int CRGBAImage::BlackmanFilter = 6;

namespace {
template <class Kernel>
int resizeWith(CRGBAImage& image, TVN_DWORD width, TVN_DWORD height, IMG_PROGRESS_PROC progress, void* user) {
    tvn::resample::TwoPassScaler<Kernel> scaler(progress, user);
    return scaler.resizeImage(image, width, height);
}

int resizeWithFilter(CRGBAImage& image, TVN_DWORD width, TVN_DWORD height, int filter, IMG_PROGRESS_PROC progress,
                     void* user) {
    switch (filter) {
    case 1: return resizeWith<tvn::resample::BoxKernel>(image, width, height, progress, user);
    case 2: return resizeWith<tvn::resample::BilinearKernel>(image, width, height, progress, user);
    case 3: return resizeWith<tvn::resample::BicubicKernel>(image, width, height, progress, user);
    case 4: return resizeWith<tvn::resample::GaussianKernel>(image, width, height, progress, user);
    case 5: return resizeWith<tvn::resample::HammingKernel>(image, width, height, progress, user);
    case 6: return resizeWith<tvn::resample::BlackmanKernel>(image, width, height, progress, user);
    default: return 0;
    }
}
} // namespace

// A blurred picture is resampled to the size less the border, then blurred back
// to the size asked for. Two choices of this library's own: a size that leaves
// no pixel inside the border (not larger than twice the blur) is refused; and
// the blur's memory is taken before the resize, so that a shortage leaves the
// picture as it was instead of resized but without its blur.
int CRGBAImage::setSize(TVN_DWORD width, TVN_DWORD height, int filter, IMG_PROGRESS_PROC progress, void* user) {
    if (!m_pBuffer) return 0;
    unsigned int k = m_nBlurKrnlSize;
    const unsigned long long border = 2ull * k;
    if (k && (width <= border || height <= border)) return 0;
    const TVN_DWORD innerWidth = static_cast<TVN_DWORD>(width - border);
    const TVN_DWORD innerHeight = static_cast<TVN_DWORD>(height - border);
    if (filter < BoxFilter || filter > BlackmanFilter) return 0;
    tvn::resample::BlurBuffers buffers = {nullptr, nullptr};
    if (k && !tvn::resample::allocBlurBuffers(innerWidth, innerHeight, k, &buffers)) return 0;
    int result = resizeWithFilter(*this, innerWidth, innerHeight, filter, progress, user);
    if (result && k) {
        tvn::resample::boxBlur(m_pBuffer, buffers.picture, m_dwWidth, m_dwHeight, &k, buffers.column);
        tvn::pixel::heapFree(m_pBuffer);
        m_pBuffer = buffers.picture;
        buffers.picture = nullptr;
        m_dwWidth += 2 * k;
        m_dwHeight += 2 * k;
        m_nBlurKrnlSize = k;
    }
    tvn::resample::freeBlurBuffers(&buffers);
    return result;
}

// An empty size, or an empty untouched picture, is refused like a failed
// allocation: there is nothing to copy from or to.
int CRGBAImage::setSizeRough(TVN_DWORD width, TVN_DWORD height) {
    if (!m_pBuffer || width == 0 || height == 0 || m_dwWidthOrig == 0 || m_dwHeightOrig == 0) return 0;
    if (!tvn::image::ensureUntouchedCopy(*this)) return 0;
    TVN_DWORD* fresh = tvn::pixel::allocPixels(width, height);
    if (!fresh) return 0;
    tvn::pixel::heapFree(m_pBuffer);
    m_pBuffer = fresh;
    tvn::resample::NearestScaler scaler;
    scaler.scale(m_pOrigBuffer, m_dwWidthOrig, m_dwHeightOrig, m_pBuffer, width, height);
    m_dwWidth = width;
    m_dwHeight = height;
    return 1;
}

namespace tvn::image {
int bilinearResize(CRGBAImage& image, TVN_DWORD width, TVN_DWORD height) {
    return resizeWith<tvn::resample::BilinearKernel>(image, width, height, nullptr, nullptr);
}

int bilinearRebuild(CRGBAImage& image) {
    return bilinearResize(image, image.getWidth(), image.getHeight());
}
} // namespace tvn::image
