// Placeholder until the transparency subsystem lands.
#include "tivorn/image.h"

int CRGBAImage::setTransparency(const IMG_TRANSP& transp, const char*) {
    m_transp = transp;
    return 0;
}
void CRGBAImage::saveAlpha() {}
int CRGBAImage::restoreAlpha(int, IMG_PROGRESS_PROC, void*) { return 0; }
void CRGBAImage::setTransparencyConst() {}
void CRGBAImage::setTransparencyLG() {}
void CRGBAImage::setTransparencyEll() {}
int CRGBAImage::setTransparencyByMask() { return 0; }
void CRGBAImage::setTransparencyChromakey() {}
