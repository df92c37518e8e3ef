// Rebuilds of the current picture from the untouched copy, for the image's own
// members (colour conversions, transparency modes, the mask picture): the
// bilinear two-pass scaler with no progress callback and no blur.
#ifndef TIVORN_IMAGE_REBUILD_H
#define TIVORN_IMAGE_REBUILD_H

#include "tivorn/image.h"

namespace tvn::image {
// Makes the untouched copy from the current picture the first time it is needed
// (the picture then still is the loaded one). False when memory is short.
bool ensureUntouchedCopy(CRGBAImage& image);
// Resamples the image's untouched copy (made on first need) to width x height
// and replaces the current picture; 1 on success, 0 with the picture unchanged.
int bilinearResize(CRGBAImage& image, TVN_DWORD width, TVN_DWORD height);
// bilinearResize at the image's current size.
int bilinearRebuild(CRGBAImage& image);
} // namespace tvn::image

#endif
