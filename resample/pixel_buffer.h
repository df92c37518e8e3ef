// Pixel buffers of the resampler: checked sizes, C heap, no zero-fill (every
// word is written), and huge-page advice for the big ones.
#ifndef TIVORN_RESAMPLE_PIXEL_BUFFER_H
#define TIVORN_RESAMPLE_PIXEL_BUFFER_H

#include "pixel/heap.h"
#include "platform/platform.h"

namespace tvn {

inline TVN_DWORD* allocPixels(TVN_DWORD width, TVN_DWORD height) {
    std::size_t bytes = 0;
    if (!checkedSize(width, height, 4, &bytes)) return nullptr;
    void* p = heapAlloc(bytes);
    if (p && bytes >= (std::size_t(2) << 20)) plat::adviseHugePages(p, bytes);
    return static_cast<TVN_DWORD*>(p);
}

} // namespace tvn

#endif
