// TwoPassScaler<Kernel>: separable resampling of a picture of pixel words, a
// horizontal pass over every source row, then a vertical pass over every column
// of the intermediate picture. One instantiation per filter number.
#ifndef TIVORN_TWO_PASS_SCALER_H
#define TIVORN_TWO_PASS_SCALER_H

#include "resample/kernels.h"
#include "pixel/plane.h"
#include "tivorn/image.h"
#include "resample/weights.h"

namespace tvn::resample {

template <class Kernel>
class TwoPassScaler {
public:
    typedef tvn::resample::WEIGHT_SPAN WEIGHT_SPAN;
    typedef tvn::resample::WEIGHT_TABLE WEIGHT_TABLE;

    TwoPassScaler(IMG_PROGRESS_PROC progress, void* user) : m_pfnProgress(progress), m_pUser(user), m_bAborted(0) {}
    virtual ~TwoPassScaler() {}

    WEIGHT_TABLE* buildWeights(unsigned srcLen, unsigned dstLen);
    void releaseWeights(WEIGHT_TABLE* table);
    void resampleRow(const TVN_DWORD* src, TVN_DWORD* dst, unsigned row, const WEIGHT_TABLE* table,
                     unsigned srcWidth, unsigned dstWidth);
    void passHorizontal(const TVN_DWORD* src, TVN_DWORD* dst, unsigned srcWidth, unsigned dstWidth,
                        unsigned height);
    void passVertical(const TVN_DWORD* src, TVN_DWORD* dst, unsigned width, unsigned srcHeight,
                      unsigned dstHeight);
    // Resamples src to dst->dwWidth x dst->dwHeight (both > 0) into new words
    // stored in dst->pWords; 0 with nothing allocated on a shortage or an abort.
    int resample(const tvn::pixel::PIXEL_PLANE& src, tvn::pixel::PIXEL_PLANE* dst);
    // The image's untouched picture resampled into its current picture; defined
    // beside the image object, which owns the buffers.
    int resizeImage(CRGBAImage& image, TVN_DWORD newWidth, TVN_DWORD newHeight);

    int aborted() const { return m_bAborted; }

private:
    IMG_PROGRESS_PROC m_pfnProgress;
    void* m_pUser;
    // Set when the callback asked to stop, and also when a pass could not get
    // its memory: either way the pass did not finish and the resize fails.
    int m_bAborted;
};

extern template class TwoPassScaler<BoxKernel>;
extern template class TwoPassScaler<BilinearKernel>;
extern template class TwoPassScaler<BicubicKernel>;
extern template class TwoPassScaler<GaussianKernel>;
extern template class TwoPassScaler<HammingKernel>;
extern template class TwoPassScaler<BlackmanKernel>;

} // namespace tvn::resample

#endif
