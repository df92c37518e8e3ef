// Colour conversions of the picture and its exports as 24- and 32-bit bytes.
#include "tivorn/image.h"
#include "pixel/rows.h"
#include "image/rebuild.h"

namespace {

// The conversions change the untouched copy when there is one and rebuild the
// current picture from it; otherwise they change the current picture in place.
template <class Convert> int convertUntouched(CRGBAImage& image, TVN_DWORD* orig, TVN_DWORD origWidth,
                                              TVN_DWORD origHeight, Convert convert) {
    try {
        if (orig) {
            convert(orig, static_cast<std::size_t>(origWidth) * origHeight);
            return tvn::image::bilinearRebuild(image);
        }
        convert(image.getBuffer(), static_cast<std::size_t>(image.getWidth()) * image.getHeight());
        return 1;
    } catch (...) {
        return 0;
    }
}

} // namespace

int CRGBAImage::convertToGrayscale() {
    return convertUntouched(*this, m_pOrigBuffer, m_dwWidthOrig, m_dwHeightOrig,
                            [](TVN_DWORD* p, std::size_t n) { tvn::pixel::rows::rowKernels().grey(p, n); });
}

int CRGBAImage::convertToBGRA() {
    return convertUntouched(*this, m_pOrigBuffer, m_dwWidthOrig, m_dwHeightOrig,
                            [](TVN_DWORD* p, std::size_t n) { tvn::pixel::rows::rowKernels().swapRB(p, n); });
}

// A destination too small cannot be detected here; a null one is the failure.
int CRGBAImage::fillBuffer24bit(unsigned char* dst) {
    if (!m_pBuffer || !dst) return 0;
    tvn::pixel::rows::rowKernels().wordsToBgr(m_pBuffer, dst, static_cast<std::size_t>(m_dwWidth) * m_dwHeight);
    return 1;
}

// By design the 32-bit export is the current picture, blur and the host's own
// changes included, exactly as the 24-bit export; it is written straight from
// the current buffer, so no copy of the image is made.
int CRGBAImage::fillBuffer32bit(unsigned char* dst) {
    if (!m_pBuffer || !dst) return 0;
    tvn::pixel::rows::rowKernels().wordsToBgra(m_pBuffer, dst, static_cast<std::size_t>(m_dwWidth) * m_dwHeight);
    return 1;
}
