// The settings record, the entry that runs the mode it names, and the frame
// every mode shares: keep the picture's own alpha, write the new alpha into the
// untouched copy when there is one (else into the current picture), then bring
// the current picture up to date. The alpha itself is computed on planes.
#include <cstring>

#include "alpha/alpha_frame.h"
#include "alpha/chromakey_kernels.h"
#include "alpha/position_kernels.h"
#include "image/image_access.h"
#include "image/rebuild.h"

using tvn::alpha::AlphaTarget;
using A = tvn::ImageAccess;

namespace {

// Saves the picture's own alpha (first time only) and picks the target. false
// when the mode must not run: no picture, or no saved copy could be made (by
// design a mode never overwrites alpha that could not be kept).
bool beginAlphaMode(CRGBAImage& image, AlphaTarget* target) {
    if (!A::buffer(image)) return false;
    image.saveAlpha();
    if (!A::savedAlpha(image)) return false;
    if (A::origBuffer(image)) {
        *target = {A::origBuffer(image), A::widthOrig(image), A::heightOrig(image), true};
    } else {
        *target = {A::buffer(image), A::width(image), A::height(image), false};
    }
    return true;
}

// After the target was written: the bilinear rebuild when it was the untouched
// copy. Its failure is not passed on: the next resize shows the new alpha.
void endAlphaMode(CRGBAImage& image, const AlphaTarget& target) {
    if (target.original) tvn::image::bilinearRebuild(image);
}

// Whether the last mode could run (a picture without a saved copy means it could not).
bool modeRan(CRGBAImage& image) {
    return !A::buffer(image) || A::savedAlpha(image);
}

// Copies a mask name into its name buffer, cut to fit; the
// host may pass the buffer's own text (getMaskFileName), so overlap is allowed.
void copyMaskName(char* dst, const char* src) {
    if (!dst || !src || dst == src) return;
    std::size_t n = 0;
    while (n < TVN_MAX_PATH - 1 && src[n]) ++n;
    std::memmove(dst, src, n);
    dst[n] = 0;
}

// Mode 4: the picture's own alpha. restoreAlpha rebuilds only when the size
// differs; here a resized picture is always rebuilt so that the current picture
// shows the restored alpha at once, with the image's own filter for rebuilds at
// the current size (the one reload and the blur use), which keeps its blur.
int showOwnAlpha(CRGBAImage& image) {
    int filter = A::resizeFilter(image);
    if (filter < CRGBAImage::BoxFilter || filter > CRGBAImage::BlackmanFilter) filter = CRGBAImage::BilinearFilter;
    if (!image.restoreAlpha(filter, nullptr, nullptr)) return 0;
    bool rebuiltAlready = image.getWidth() != image.getWidthOrig() || image.getHeight() != image.getHeightOrig();
    if (A::origBuffer(image) && !rebuiltAlready)
        image.setSize(image.getWidth(), image.getHeight(), filter, nullptr, nullptr);
    return 1;
}

} // namespace

int CRGBAImage::setTransparency(const IMG_TRANSP& transp, const char* maskFile) {
    // The whole record first: a record with a bad mode stays stored.
    m_transp = transp;
    switch (m_transp.byMode) {
    case TRANSP_CONST: setTransparencyConst(); break;
    case TRANSP_LG: setTransparencyLG(); break;
    case TRANSP_ELL: setTransparencyEll(); break;
    case TRANSP_CHROMAKEY: setTransparencyChromakey(); break;
    case TRANSP_MASK:
        copyMaskName(m_strMaskFileName, maskFile);
        return setTransparencyByMask();
    case TRANSP_ORIGINAL: return showOwnAlpha(*this);
    default: return 0;
    }
    return modeRan(*this) ? 1 : 0;
}

void CRGBAImage::setTransparencyConst() {
    AlphaTarget t;
    if (!beginAlphaMode(*this, &t)) return;
    tvn::alpha::applyConstant(t.words, t.width, t.height, m_transp);
    endAlphaMode(*this, t);
}

void CRGBAImage::setTransparencyLG() {
    AlphaTarget t;
    if (!beginAlphaMode(*this, &t)) return;
    tvn::alpha::applyGradient(t.words, t.width, t.height, m_transp);
    endAlphaMode(*this, t);
}

void CRGBAImage::setTransparencyEll() {
    AlphaTarget t;
    if (!beginAlphaMode(*this, &t)) return;
    tvn::alpha::applyEllipse(t.words, t.width, t.height, m_transp);
    endAlphaMode(*this, t);
}

void CRGBAImage::setTransparencyChromakey() {
    AlphaTarget t;
    if (!beginAlphaMode(*this, &t)) return;
    const tvn::alpha::ChromakeySettings s = {m_transp.clrChromakey, m_transp.bChromakeySoft, m_transp.dwChromakeyDev};
    tvn::alpha::applyChromakey(t.words, static_cast<std::size_t>(t.width) * t.height, s);
    endAlphaMode(*this, t);
}

// Mode 3, the mask file: the brightness of another picture becomes the alpha.
// The mask is read from disk at every call (so a changed file gives a changed
// alpha), stretched bilinearly to the picture's untouched size, and greyed.
int CRGBAImage::setTransparencyByMask() {
    AlphaTarget target;
    if (!beginAlphaMode(*this, &target)) return 0;

    CRGBAImage mask;
    // load shows its own message box for most failures (the path that cannot be opened, a damaged file).
    if (!mask.load(m_strMaskFileName, 0)) return 0;
    if (mask.getWidth() != target.width || mask.getHeight() != target.height) {
        if (!tvn::image::bilinearResize(mask, target.width, target.height)) return 0;
    }
    if (!mask.convertToGrayscale()) return 0;
    // After the stretch the mask has exactly the target's size; check anyway so a
    // mask that could not be brought to it is never read past its end.
    if (mask.getWidth() != target.width || mask.getHeight() != target.height || !mask.getBuffer()) return 0;

    tvn::alpha::applyMask(target, mask.getBuffer());
    endAlphaMode(*this, target);
    return 1;
}
