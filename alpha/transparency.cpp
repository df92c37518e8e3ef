// The settings record and the entry that runs the mode it names.
#include <cstring>

#include "alpha_frame.h"
#include "image/image_access.h"

namespace {

const std::size_t kNameSize = 260;

// Copies a mask name into the 260-byte buffer, at most 259 characters; the
// host may pass the buffer's own text (getMaskFileName), so overlap is allowed.
void copyMaskName(char* dst, const char* src) {
    if (!dst || !src || dst == src) return;
    std::size_t n = 0;
    while (n < kNameSize - 1 && src[n]) ++n;
    std::memmove(dst, src, n);
    dst[n] = 0;
}

// Mode 4: the picture's own alpha. restoreAlpha rebuilds only when the size
// differs; here a resized picture is always rebuilt so that the current picture
// shows the restored alpha at once, with the image's own filter for rebuilds at
// the current size (the one reload and the blur use), which keeps its blur.
int showOwnAlpha(CRGBAImage& image) {
    int filter = tvn::ImageAccess::resizeFilter(image);
    if (filter < CRGBAImage::BoxFilter || filter > CRGBAImage::BlackmanFilter) filter = CRGBAImage::BilinearFilter;
    if (!image.restoreAlpha(filter, nullptr, nullptr)) return 0;
    bool rebuiltAlready = image.getWidth() != image.getWidthOrig() || image.getHeight() != image.getHeightOrig();
    if (tvn::ImageAccess::origBuffer(image) && !rebuiltAlready)
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
    return tvn::alpha::modeRan(*this) ? 1 : 0;
}
