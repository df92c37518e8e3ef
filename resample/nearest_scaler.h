// NearestScaler: the nearest-pixel copy of setSizeRough. Destination pixel
// (x, y) is source pixel (trunc(x / xs), trunc(y / ys)) with xs, ys the ratios
// of destination to source size in doubles.
#ifndef TIVORN_NEAREST_SCALER_H
#define TIVORN_NEAREST_SCALER_H

#include "tivorn/types.h"

namespace tvn::resample {

class NearestScaler {
public:
    virtual ~NearestScaler() {}
    // All four sizes at least 1.
    static void scale(const TVN_DWORD* src, TVN_DWORD srcWidth, TVN_DWORD srcHeight, TVN_DWORD* dst,
                      TVN_DWORD dstWidth, TVN_DWORD dstHeight);
};

} // namespace tvn::resample

#endif
