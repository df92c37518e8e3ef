#include "resample/nearest_scaler.h"

#include <cstring>

#include "pixel/cpu_features.h"
#include "pixel/bands.h"
#include "pixel/heap.h"

namespace tvn::resample {

namespace {
const TVN_DWORD kRowsPerPiece = 32;

// trunc(i / ratio), never past the last source index whatever the rounding.
inline TVN_DWORD sourceIndex(TVN_DWORD i, double ratio, TVN_DWORD srcLen) {
    TVN_DWORD s = static_cast<TVN_DWORD>(static_cast<double>(i) / ratio);
    return s < srcLen ? s : srcLen - 1;
}

void scaleReference(const TVN_DWORD* src, TVN_DWORD srcWidth, TVN_DWORD srcHeight, TVN_DWORD* dst,
                    TVN_DWORD dstWidth, TVN_DWORD first, TVN_DWORD end, double xs, double ys) {
    for (TVN_DWORD y = first; y < end; ++y) {
        const TVN_DWORD* row = src + static_cast<std::size_t>(sourceIndex(y, ys, srcHeight)) * srcWidth;
        TVN_DWORD* out = dst + static_cast<std::size_t>(y) * dstWidth;
        for (TVN_DWORD x = 0; x < dstWidth; ++x) out[x] = row[sourceIndex(x, xs, srcWidth)];
    }
}

// Rows that repeat the row above are copied whole, within a band only: the
// row above a band's first row belongs to another thread.
void scaleMapped(const TVN_DWORD* src, TVN_DWORD srcWidth, TVN_DWORD srcHeight, TVN_DWORD* dst, TVN_DWORD dstWidth,
                 TVN_DWORD first, TVN_DWORD end, double ys, const TVN_DWORD* columns) {
    TVN_DWORD previous = 0;
    for (TVN_DWORD y = first; y < end; ++y) {
        const TVN_DWORD sy = sourceIndex(y, ys, srcHeight);
        TVN_DWORD* out = dst + static_cast<std::size_t>(y) * dstWidth;
        if (y > first && sy == previous) {
            std::memcpy(out, out - dstWidth, static_cast<std::size_t>(dstWidth) * 4);
            continue;
        }
        const TVN_DWORD* row = src + static_cast<std::size_t>(sy) * srcWidth;
        for (TVN_DWORD x = 0; x < dstWidth; ++x) out[x] = row[columns[x]];
        previous = sy;
    }
}
} // namespace

void NearestScaler::scale(const TVN_DWORD* src, TVN_DWORD srcWidth, TVN_DWORD srcHeight, TVN_DWORD* dst,
                          TVN_DWORD dstWidth, TVN_DWORD dstHeight) {
    const double xs = static_cast<double>(dstWidth) / srcWidth;
    const double ys = static_cast<double>(dstHeight) / srcHeight;
    // The column of every destination x once; without memory for the map, the plain loop.
    tvn::pixel::HeapBlock map(
        tvn::pixel::cpu::referenceOnly() ? nullptr : tvn::pixel::heapAlloc(static_cast<std::size_t>(dstWidth) * 4));
    TVN_DWORD* columns = map.as<TVN_DWORD>();
    if (columns)
        for (TVN_DWORD x = 0; x < dstWidth; ++x) columns[x] = sourceIndex(x, xs, srcWidth);
    const tvn::pixel::LineBands bands(dstHeight, kRowsPerPiece, 1);
    tvn::pixel::forEachBand(bands, tvn::pixel::BandCost::Nearest, static_cast<double>(dstWidth) * dstHeight,
                            [&](TVN_DWORD first, TVN_DWORD end) {
                                if (columns) scaleMapped(src, srcWidth, srcHeight, dst, dstWidth, first, end, ys, columns);
                                else scaleReference(src, srcWidth, srcHeight, dst, dstWidth, first, end, xs, ys);
                            });
}

} // namespace tvn::resample
