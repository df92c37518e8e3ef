#include "resample/two_pass_scaler.h"

#include "resample/passes.h"
#include "pixel/heap.h"

namespace tvn::resample {

template <class Kernel>
WEIGHT_TABLE* TwoPassScaler<Kernel>::buildWeights(unsigned srcLen, unsigned dstLen) {
    const Kernel kernel;
    return buildWeightTable(kernel, srcLen, dstLen);
}

template <class Kernel>
void TwoPassScaler<Kernel>::releaseWeights(WEIGHT_TABLE* table) {
    releaseWeightTable(table);
}

template <class Kernel>
void TwoPassScaler<Kernel>::resampleRow(const TVN_DWORD* src, TVN_DWORD* dst, unsigned row,
                                        const WEIGHT_TABLE* table, unsigned srcWidth, unsigned dstWidth) {
    const TVN_DWORD* in = src + static_cast<std::size_t>(row) * srcWidth;
    TVN_DWORD* out = dst + static_cast<std::size_t>(row) * dstWidth;
    for (unsigned x = 0; x < dstWidth; ++x) out[x] = applySpan(in, 1, table->pSpans[x]);
}

template <class Kernel>
void TwoPassScaler<Kernel>::passHorizontal(const TVN_DWORD* src, TVN_DWORD* dst, unsigned srcWidth,
                                           unsigned dstWidth, unsigned height) {
    WEIGHT_TABLE* table = buildWeights(srcWidth, dstWidth);
    const ScalerProgress progress = {m_pfnProgress, m_pUser};
    if (!table || !horizontalPass(src, dst, srcWidth, dstWidth, height, *table, progress)) m_bAborted = 1;
    releaseWeights(table);
}

template <class Kernel>
void TwoPassScaler<Kernel>::passVertical(const TVN_DWORD* src, TVN_DWORD* dst, unsigned width, unsigned srcHeight,
                                         unsigned dstHeight) {
    WEIGHT_TABLE* table = buildWeights(srcHeight, dstHeight);
    const ScalerProgress progress = {m_pfnProgress, m_pUser};
    if (!table || !verticalPass(src, dst, width, srcHeight, dstHeight, *table, progress)) m_bAborted = 1;
    releaseWeights(table);
}

template <class Kernel>
int TwoPassScaler<Kernel>::resample(const tvn::pixel::PIXEL_PLANE& src, tvn::pixel::PIXEL_PLANE* dst) {
    m_bAborted = 0;
    const TVN_DWORD newWidth = dst->dwWidth, newHeight = dst->dwHeight, height = src.dwHeight;
    tvn::pixel::HeapBlock middle(tvn::pixel::allocPixels(newWidth, height));
    if (!middle.get()) return 0;
    passHorizontal(src.pWords, middle.as<TVN_DWORD>(), src.dwWidth, newWidth, height);
    if (m_bAborted) return 0;
    tvn::pixel::HeapBlock fresh(tvn::pixel::allocPixels(newWidth, newHeight));
    if (!fresh.get()) return 0;
    passVertical(middle.as<TVN_DWORD>(), fresh.as<TVN_DWORD>(), newWidth, height, newHeight);
    if (m_bAborted) return 0;
    dst->pWords = fresh.as<TVN_DWORD>();
    fresh.release();
    return 1;
}

template class TwoPassScaler<BoxKernel>;
template class TwoPassScaler<BilinearKernel>;
template class TwoPassScaler<BicubicKernel>;
template class TwoPassScaler<GaussianKernel>;
template class TwoPassScaler<HammingKernel>;
template class TwoPassScaler<BlackmanKernel>;

} // namespace tvn::resample
