// The box blur: tvn2PassBlur and the plain scalar reference of the arithmetic.
#include "resample/blur.h"

#include <cstring>

#include "pixel/bands.h"
#include "pixel/heap.h"
#include "pixel/plane.h"
#include "tivorn/image.h"

namespace tvn::resample {

namespace {
const TVN_DWORD kRowsPerPiece = 16;
const TVN_DWORD kColumnsPerPiece = 64;

// The vertical pass of the reference, column by column through `column`
// scratch: the caller's, or each helper's own (a helper without it leaves the
// columns to the others).
class ReferenceColumns : public pixel::BandWork {
public:
    ReferenceColumns(const pixel::LineBands& bands, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned k,
                     TVN_DWORD* column)
        : m_bands(bands), m_dst(dst), m_width(width), m_height(height), m_k(k), m_column(column) {}

    void serve(pixel::BandCursor& cursor) override {
        pixel::HeapBlock own;
        TVN_DWORD* column = m_column;
        if (!cursor.onCaller()) {
            own.reset(pixel::heapAlloc(static_cast<std::size_t>(m_height) * 4));
            if (!own.get()) return;
            column = own.as<TVN_DWORD>();
        }
        unsigned piece;
        while (cursor.next(&piece))
            for (TVN_DWORD x = m_bands.first(piece); x < m_bands.end(piece); ++x) blurColumn(x, column);
    }

private:
    void blurColumn(TVN_DWORD x, TVN_DWORD* column) const {
        const TVN_DWORD k = m_k, W = m_width + 2 * k, H = m_height + 2 * k, d = 2 * k + 1;
        for (TVN_DWORD y = 0; y < m_height; ++y) column[y] = m_dst[static_cast<std::size_t>(k + y) * W + x];
        TVN_DWORD sr = 0, sg = 0, sb = 0, sa = 0;
        for (TVN_DWORD y = 0; y < H; ++y) {
            if (y < m_height) {
                const TVN_DWORD p = column[y];
                sr += tvnGetRValue(p), sg += tvnGetGValue(p), sb += tvnGetBValue(p), sa += tvnGetAValue(p);
            }
            if (y > 2 * k) {
                const TVN_DWORD p = column[y - 2 * k - 1];
                sr -= tvnGetRValue(p), sg -= tvnGetGValue(p), sb -= tvnGetBValue(p), sa -= tvnGetAValue(p);
            }
            m_dst[static_cast<std::size_t>(y) * W + x] =
                tvnRGBA(static_cast<unsigned char>(sr / d), static_cast<unsigned char>(sg / d),
                        static_cast<unsigned char>(sb / d), static_cast<unsigned char>(sa / d));
        }
    }

    const pixel::LineBands& m_bands;
    TVN_DWORD* const m_dst;
    const TVN_DWORD m_width, m_height;
    const unsigned m_k;
    TVN_DWORD* const m_column;
};
} // namespace

int boxBlurReference(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned int k,
                     TVN_DWORD* column) {
    const TVN_DWORD W = width + 2 * k, H = height + 2 * k, d = 2 * k + 1;
    std::memset(dst, 0, static_cast<std::size_t>(W) * H * 4);
    const pixel::LineBands rows(height, kRowsPerPiece, 1);
    pixel::forEachBand(rows, pixel::BandCost::Blur, static_cast<double>(W) * height, [&](TVN_DWORD first, TVN_DWORD end) {
        for (TVN_DWORD r = first; r < end; ++r) {
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
    });
    const pixel::LineBands columns(W, kColumnsPerPiece, 1);
    ReferenceColumns work(columns, dst, width, height, k, column);
    pixel::runBands(work, columns.pieces(), pixel::helpersFor(pixel::BandCost::Blur, static_cast<double>(W) * H));
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
