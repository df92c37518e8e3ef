// Mode 5: pixels close to the key colour become transparent.
#include "alpha_frame.h"
#include "chromakey_kernels.h"
#include "pixel/cpu_features.h"

namespace tvn {
namespace alpha {

void applyChromakey(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s) {
    if (cpu::hasAvx2()) return chromakeyAvx2(words, count, s);
    if (cpu::hasSse2()) return chromakeySse2(words, count, s);
    chromakeyReference(words, count, s);
}

} // namespace alpha
} // namespace tvn

void CRGBAImage::setTransparencyChromakey() {
    tvn::alpha::AlphaTarget t;
    if (!tvn::alpha::beginAlphaMode(*this, &t)) return;
    tvn::alpha::ChromakeySettings s = {m_transp.clrChromakey, m_transp.bChromakeySoft, m_transp.dwChromakeyDev};
    tvn::alpha::applyChromakey(t.words, static_cast<std::size_t>(t.width) * t.height, s);
    tvn::alpha::endAlphaMode(*this, t);
}
