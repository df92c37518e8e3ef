// Pixel buffers of the resampler: checked sizes, C heap (which lays the big ones
// out for huge pages), no zero-fill (every word is written).
#ifndef TIVORN_RESAMPLE_PIXEL_BUFFER_H
#define TIVORN_RESAMPLE_PIXEL_BUFFER_H

#include <cstring>

#include "image/image_access.h"
#include "pixel/heap.h"

namespace tvn {

inline TVN_DWORD* allocPixels(TVN_DWORD width, TVN_DWORD height) {
    std::size_t bytes = 0;
    if (!checkedSize(width, height, 4, &bytes)) return nullptr;
    return static_cast<TVN_DWORD*>(heapAlloc(bytes));
}

// Makes the untouched copy from the current picture the first time it is needed
// (the picture then still is the loaded one). False when memory is short.
inline bool ensureUntouchedCopy(CRGBAImage& image) {
    if (ImageAccess::origBuffer(image)) return true;
    const TVN_DWORD width = ImageAccess::widthOrig(image), height = ImageAccess::heightOrig(image);
    TVN_DWORD* copy = allocPixels(width, height);
    if (!copy) return false;
    std::memcpy(copy, ImageAccess::buffer(image), static_cast<std::size_t>(width) * height * 4);
    ImageAccess::origBuffer(image) = copy;
    return true;
}

} // namespace tvn

#endif
