// The box blur: tvn2PassBlur and the plain scalar reference of the arithmetic.
#include "resample/blur.h"

#include <cstring>

#include "pixel/heap.h"
#include "pixel/plane.h"
#include "tivorn/image.h"

namespace tvn::resample {

int boxBlurReference(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned int k,
                     TVN_DWORD* column) {
    const TVN_DWORD W = width + 2 * k, H = height + 2 * k, d = 2 * k + 1;
    std::memset(dst, 0, static_cast<std::size_t>(W) * H * 4);
    for (TVN_DWORD r = 0; r < height; ++r) {
        const TVN_DWORD* in = src + static_cast<std::size_t>(r) * width;
        TVN_DWORD* out = dst + static_cast<std::size_t>(r + k) * W;
        TVN_DWORD sr = 0, sg = 0, sb = 0, sa = 0;
        for (TVN_DWORD x = 0; x < W; ++x) {
            if (x < width) {
                sr += tvnGetRValue(in[x]), sg += tvnGetGValue(in[x]), sb += tvnGetBValue(in[x]);
                sa += tvnGetAValue(in[x]);
            }
            if (x > 2 * k) {
                const TVN_DWORD p = in[x - 2 * k - 1];
                sr -= tvnGetRValue(p), sg -= tvnGetGValue(p), sb -= tvnGetBValue(p), sa -= tvnGetAValue(p);
            }
            out[x] = tvnRGBA(static_cast<unsigned char>(sr / d), static_cast<unsigned char>(sg / d),
                             static_cast<unsigned char>(sb / d), static_cast<unsigned char>(sa / d));
        }
    }
    for (TVN_DWORD x = 0; x < W; ++x) {
        for (TVN_DWORD y = 0; y < height; ++y) column[y] = dst[static_cast<std::size_t>(k + y) * W + x];
        TVN_DWORD sr = 0, sg = 0, sb = 0, sa = 0;
        for (TVN_DWORD y = 0; y < H; ++y) {
            if (y < height) {
                const TVN_DWORD p = column[y];
                sr += tvnGetRValue(p), sg += tvnGetGValue(p), sb += tvnGetBValue(p), sa += tvnGetAValue(p);
            }
            if (y > 2 * k) {
                const TVN_DWORD p = column[y - 2 * k - 1];
                sr -= tvnGetRValue(p), sg -= tvnGetGValue(p), sb -= tvnGetBValue(p), sa -= tvnGetAValue(p);
            }
            dst[static_cast<std::size_t>(y) * W + x] =
                tvnRGBA(static_cast<unsigned char>(sr / d), static_cast<unsigned char>(sg / d),
                        static_cast<unsigned char>(sb / d), static_cast<unsigned char>(sa / d));
        }
    }
    return 1;
}

int boxBlur(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned int* pKernel,
            TVN_DWORD* column) {
    // Only the width limits the kernel; a one-pixel-wide picture is copied.
    if (*pKernel >= width) *pKernel = width - 1;
    const unsigned int k = *pKernel;
    if (boxBlurFast(src, dst, width, height, k)) return 1;
    pixel::HeapBlock own;
    if (!column) {
        own.reset(pixel::heapAlloc(static_cast<std::size_t>(height) * 4));
        column = own.as<TVN_DWORD>();
        if (!column) return 0;
    }
    return boxBlurReference(src, dst, width, height, k, column);
}

bool allocBlurBuffers(TVN_DWORD width, TVN_DWORD height, unsigned int kernel, BlurBuffers* buffers) {
    buffers->picture = buffers->column = nullptr;
    const unsigned long long w = width + 2ull * kernel, h = height + 2ull * kernel;
    if (w > 0xFFFFFFFFull || h > 0xFFFFFFFFull) return false;
    buffers->picture = pixel::allocPixels(static_cast<TVN_DWORD>(w), static_cast<TVN_DWORD>(h));
    buffers->column = static_cast<TVN_DWORD*>(pixel::heapAlloc(static_cast<std::size_t>(height) * 4));
    if (buffers->picture && buffers->column) return true;
    freeBlurBuffers(buffers);
    return false;
}

void freeBlurBuffers(BlurBuffers* buffers) {
    pixel::heapFree(buffers->picture);
    pixel::heapFree(buffers->column);
    buffers->picture = buffers->column = nullptr;
}

} // namespace tvn::resample

// A width of 0 leaves no valid kernel size, so nothing is done; nor when the
// blurred size would not fit in 32 bits. When memory for the column scratch is
// short, dst is filled with 0 (transparent black) rather than left half done.
extern "C" TVN_API void TVN_CDECL tvn2PassBlur(TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height,
                                               unsigned int* pKernel) {
    if (!src || !dst || !pKernel || *pKernel == 0 || width == 0) return;
    const unsigned int k = *pKernel < width ? *pKernel : width - 1;
    std::size_t bytes = 0;
    const unsigned long long w = width + 2ull * k, h = height + 2ull * k;
    if (w > 0xFFFFFFFFull || h > 0xFFFFFFFFull ||
        !tvn::pixel::checkedSize(static_cast<TVN_DWORD>(w), static_cast<TVN_DWORD>(h), 4, &bytes))
        return;
    if (!tvn::resample::boxBlur(src, dst, width, height, pKernel, nullptr)) std::memset(dst, 0, bytes);
}
