// Weight tables of the two-pass scaler: for every destination sample of a pass,
// the run of source samples it draws on and their normalised weights.
#ifndef TIVORN_RESAMPLE_WEIGHTS_H
#define TIVORN_RESAMPLE_WEIGHTS_H

#include <cstddef>

#include "tivorn/pixel.h"
#include "tivorn/types.h"

namespace tvn::resample {

class FilterKernel;

struct WEIGHT_SPAN {
    double* pWeights; // nMaxTaps doubles; index k is source sample nFirst + k
    TVN_DWORD nFirst; // first source sample used (inclusive)
    TVN_DWORD nLast;  // last source sample used (inclusive)
};

struct WEIGHT_TABLE {
    WEIGHT_SPAN* pSpans; // nCount spans, in destination order
    TVN_DWORD nMaxTaps;  // capacity of every span's weight array
    TVN_DWORD nCount;    // destination length
};

// Builds the table for a line of srcLen samples resampled to dstLen samples with
// `kernel` at its own half-width. Null when an allocation fails or the tap count
// does not fit. Both lengths must be at least 1.
WEIGHT_TABLE* buildWeightTable(const FilterKernel& kernel, TVN_DWORD srcLen, TVN_DWORD dstLen);
// Frees the weight arrays, then the span array, then the table. Null is ignored.
void releaseWeightTable(WEIGHT_TABLE* table);

// The pixel rule: every channel is an 8-bit accumulator of the products of the
// source channel and the weight, each product truncated toward zero on its own.
// Source sample j of the span is at src[j * stride].
inline TVN_DWORD applySpan(const TVN_DWORD* src, std::size_t stride, const WEIGHT_SPAN& span) {
    unsigned char r = 0, g = 0, b = 0, a = 0;
    const double* w = span.pWeights;
    for (TVN_DWORD j = span.nFirst; j <= span.nLast; ++j, ++w) {
        TVN_DWORD p = src[static_cast<std::size_t>(j) * stride];
        double v = *w;
        r = static_cast<unsigned char>(r + static_cast<int>(tvnGetRValue(p) * v));
        g = static_cast<unsigned char>(g + static_cast<int>(tvnGetGValue(p) * v));
        b = static_cast<unsigned char>(b + static_cast<int>(tvnGetBValue(p) * v));
        a = static_cast<unsigned char>(a + static_cast<int>(tvnGetAValue(p) * v));
    }
    return tvnRGBA(r, g, b, a);
}

} // namespace tvn::resample

#endif
