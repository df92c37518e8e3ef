// TwoPassScaler<Kernel>::resizeImage: the scaler's plane-to-plane resample
// applied to an image, from its untouched copy into its current picture.
#include <algorithm>
#include <cstring>

#include "image/image_access.h"
#include "pixel/heap.h"
#include "image/rebuild.h"
#include "resample/two_pass_scaler.h"

using A = tvn::ImageAccess;

namespace tvn::image {
// The current picture has the original size unless it was stretched, when its
// rows are wider: the original count of words is then taken in buffer order.
// By design no buffer is read past its end, whatever the sizes say; words the
// current picture does not hold are transparent black.
bool ensureUntouchedCopy(CRGBAImage& image) {
    if (A::origBuffer(image)) return true;
    const TVN_DWORD width = A::widthOrig(image), height = A::heightOrig(image);
    TVN_DWORD* copy = pixel::allocPixels(width, height);
    if (!copy) return false;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    const std::size_t current = static_cast<std::size_t>(A::width(image)) * A::height(image);
    const std::size_t held = std::min(count, current);
    std::memcpy(copy, A::buffer(image), held * 4);
    std::memset(copy + held, 0, (count - held) * 4);
    A::origBuffer(image) = copy;
    return true;
}
} // namespace tvn::image

namespace tvn::resample {

// By design a resize to an empty size, or of an empty picture, is refused before
// anything changes: there is no sample to draw on or to produce.
template <class Kernel>
int TwoPassScaler<Kernel>::resizeImage(CRGBAImage& image, TVN_DWORD newWidth, TVN_DWORD newHeight) {
    m_bAborted = 0;
    const TVN_DWORD width = A::widthOrig(image), height = A::heightOrig(image);
    if (!A::buffer(image) || newWidth == 0 || newHeight == 0 || width == 0 || height == 0) return 0;
    // Never resized: the current picture is the untouched one. It is read as it
    // is and then kept as the untouched copy, which saves copying it first.
    const bool adopt = !A::origBuffer(image) && A::width(image) == width && A::height(image) == height;
    if (!adopt && !tvn::image::ensureUntouchedCopy(image)) return 0;
    const tvn::pixel::PIXEL_PLANE untouched = {adopt ? A::buffer(image) : A::origBuffer(image), width, height};
    tvn::pixel::PIXEL_PLANE fresh = {nullptr, newWidth, newHeight};
    if (!resample(untouched, &fresh)) {
        if (adopt) tvn::image::ensureUntouchedCopy(image); // a failed resize leaves the copy behind all the same
        return 0;
    }
    if (adopt) A::origBuffer(image) = A::buffer(image);
    else tvn::pixel::heapFree(A::buffer(image));
    A::buffer(image) = fresh.pWords;
    A::width(image) = newWidth;
    A::height(image) = newHeight;
    return 1;
}

template int TwoPassScaler<BoxKernel>::resizeImage(CRGBAImage&, TVN_DWORD, TVN_DWORD);
template int TwoPassScaler<BilinearKernel>::resizeImage(CRGBAImage&, TVN_DWORD, TVN_DWORD);
template int TwoPassScaler<BicubicKernel>::resizeImage(CRGBAImage&, TVN_DWORD, TVN_DWORD);
template int TwoPassScaler<GaussianKernel>::resizeImage(CRGBAImage&, TVN_DWORD, TVN_DWORD);
template int TwoPassScaler<HammingKernel>::resizeImage(CRGBAImage&, TVN_DWORD, TVN_DWORD);
template int TwoPassScaler<BlackmanKernel>::resizeImage(CRGBAImage&, TVN_DWORD, TVN_DWORD);

} // namespace tvn::resample
