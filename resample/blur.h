// The box blur inside the library: the arithmetic of tvn2PassBlur with its
// scratch memory made explicit, so that an image can get everything it needs
// before it changes anything.
#ifndef TIVORN_RESAMPLE_BLUR_H
#define TIVORN_RESAMPLE_BLUR_H

#include "tivorn/types.h"

namespace tvn::resample {

// Blurs width x height words at src into (width + 2k) x (height + 2k) words at
// dst, k = *pKernel after the reduction to width - 1 (written back). `column`
// is scratch of `height` words, or null to take it from the heap. Returns 0
// (dst undefined) only when that scratch cannot be had. width and *pKernel > 0.
int boxBlur(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned int* pKernel,
            TVN_DWORD* column);

// The plain scalar blur, step by step as the format defines it.
int boxBlurReference(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned int k,
                     TVN_DWORD* column);

// The vector blur; false when it does not apply (reference forced, kernel too
// wide for 16-bit sums, picture too small for a block).
bool boxBlurFast(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned int k);

// Memory for blurring the image's current picture with *pKernel: the new picture
// (sized with the kernel before any reduction) and the column scratch.
struct BlurBuffers {
    TVN_DWORD* picture;
    TVN_DWORD* column;
};
bool allocBlurBuffers(TVN_DWORD width, TVN_DWORD height, unsigned int kernel, BlurBuffers* buffers);
void freeBlurBuffers(BlurBuffers* buffers);

} // namespace tvn::resample

#endif
