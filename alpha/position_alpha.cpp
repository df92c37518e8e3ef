// Modes 0, 1 and 2: alpha from the pixel's position alone.
#include "alpha_frame.h"
#include "position_kernels.h"

using tvn::alpha::AlphaTarget;

void CRGBAImage::setTransparencyConst() {
    AlphaTarget t;
    if (!tvn::alpha::beginAlphaMode(*this, &t)) return;
    tvn::alpha::applyConstant(t.words, t.width, t.height, m_transp);
    tvn::alpha::endAlphaMode(*this, t);
}

void CRGBAImage::setTransparencyLG() {
    AlphaTarget t;
    if (!tvn::alpha::beginAlphaMode(*this, &t)) return;
    tvn::alpha::applyGradient(t.words, t.width, t.height, m_transp);
    tvn::alpha::endAlphaMode(*this, t);
}

void CRGBAImage::setTransparencyEll() {
    AlphaTarget t;
    if (!tvn::alpha::beginAlphaMode(*this, &t)) return;
    tvn::alpha::applyEllipse(t.words, t.width, t.height, m_transp);
    tvn::alpha::endAlphaMode(*this, t);
}
