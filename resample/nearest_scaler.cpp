#include "resample/nearest_scaler.h"

#include <cstring>

#include "pixel/cpu_features.h"
#include "pixel/heap.h"

namespace tvn::resample {

namespace {
// trunc(i / ratio), never past the last source index whatever the rounding.
inline TVN_DWORD sourceIndex(TVN_DWORD i, double ratio, TVN_DWORD srcLen) {
    TVN_DWORD s = static_cast<TVN_DWORD>(static_cast<double>(i) / ratio);
    return s < srcLen ? s : srcLen - 1;
}

void scaleReference(const TVN_DWORD* src, TVN_DWORD srcWidth, TVN_DWORD srcHeight, TVN_DWORD* dst,
                    TVN_DWORD dstWidth, TVN_DWORD dstHeight, double xs, double ys) {
    for (TVN_DWORD y = 0; y < dstHeight; ++y) {
        const TVN_DWORD* row = src + static_cast<std::size_t>(sourceIndex(y, ys, srcHeight)) * srcWidth;
        TVN_DWORD* out = dst + static_cast<std::size_t>(y) * dstWidth;
        for (TVN_DWORD x = 0; x < dstWidth; ++x) out[x] = row[sourceIndex(x, xs, srcWidth)];
    }
}
} // namespace

void NearestScaler::scale(const TVN_DWORD* src, TVN_DWORD srcWidth, TVN_DWORD srcHeight, TVN_DWORD* dst,
                          TVN_DWORD dstWidth, TVN_DWORD dstHeight) {
    const double xs = static_cast<double>(dstWidth) / srcWidth;
    const double ys = static_cast<double>(dstHeight) / srcHeight;
    // The column of every destination x once, and rows that repeat the row
    // above copied whole; without memory for the map, the plain loop.
    tvn::pixel::HeapBlock map(
        tvn::pixel::cpu::referenceOnly() ? nullptr : tvn::pixel::heapAlloc(static_cast<std::size_t>(dstWidth) * 4));
    if (!map.get()) {
        scaleReference(src, srcWidth, srcHeight, dst, dstWidth, dstHeight, xs, ys);
        return;
    }
    TVN_DWORD* columns = map.as<TVN_DWORD>();
    for (TVN_DWORD x = 0; x < dstWidth; ++x) columns[x] = sourceIndex(x, xs, srcWidth);
    TVN_DWORD previous = 0;
    for (TVN_DWORD y = 0; y < dstHeight; ++y) {
        const TVN_DWORD sy = sourceIndex(y, ys, srcHeight);
        TVN_DWORD* out = dst + static_cast<std::size_t>(y) * dstWidth;
        if (y > 0 && sy == previous) {
            std::memcpy(out, out - dstWidth, static_cast<std::size_t>(dstWidth) * 4);
            continue;
        }
        const TVN_DWORD* row = src + static_cast<std::size_t>(sy) * srcWidth;
        for (TVN_DWORD x = 0; x < dstWidth; ++x) out[x] = row[columns[x]];
        previous = sy;
    }
}

} // namespace tvn::resample
