// Mode 3, the mask file: the brightness of another picture becomes the alpha.
// The mask is read from disk at every call (so a changed file gives a changed
// alpha), stretched bilinearly to the picture's untouched size, and greyed.
#include "alpha_frame.h"
#include "image/image_access.h"
#include "resample/rebuild.h"

int CRGBAImage::setTransparencyByMask() {
    tvn::alpha::AlphaTarget target;
    if (!tvn::alpha::beginAlphaMode(*this, &target)) return 0;

    CRGBAImage mask;
    // load shows its own message box for most failures (the path that cannot be opened, a damaged file).
    if (!mask.load(m_strMaskFileName, 0)) return 0;
    if (mask.getWidth() != target.width || mask.getHeight() != target.height) {
        if (!tvn::bilinearResize(mask, target.width, target.height)) return 0;
    }
    if (!mask.convertToGrayscale()) return 0;
    // After the stretch the mask has exactly the target's size; check anyway so a
    // mask that could not be brought to it is never read past its end.
    if (mask.getWidth() != target.width || mask.getHeight() != target.height || !mask.getBuffer()) return 0;

    const TVN_DWORD* grey = mask.getBuffer();
    const std::size_t count = static_cast<std::size_t>(target.width) * target.height;
    for (std::size_t i = 0; i < count; ++i)
        target.words[i] = tvn::alpha::withAlpha(target.words[i], grey[i] & 0xFFu);
    tvn::alpha::endAlphaMode(*this, target);
    return 1;
}
