// The bilinear resize used inside the library (colour conversions, transparency
// modes, the mask picture): the Bilinear two-pass scaler over the untouched copy,
// with no progress callback and no blur.
#ifndef TIVORN_REBUILD_H
#define TIVORN_REBUILD_H

#include "tivorn/image.h"

namespace tvn {
// Resamples the image's untouched copy (made on first need) to width x height
// and replaces the current picture; 1 on success, 0 with the picture unchanged.
int bilinearResize(CRGBAImage& image, TVN_DWORD width, TVN_DWORD height);
// bilinearResize at the image's current size.
int bilinearRebuild(CRGBAImage& image);
} // namespace tvn

#endif
