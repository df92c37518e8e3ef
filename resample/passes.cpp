#include "resample/passes.h"

#include "pixel/heap.h"
#include "resample/plan.h"
#include "resample/simd.h"

namespace tvn::resample {

namespace {
const TVN_DWORD kBlock = 16;          // rows per horizontal block, columns per unit
const TVN_DWORD kColumnsPerBlock = 64; // columns per vertical block

struct PlanGuard {
    ScalePlan plan{};
    ~PlanGuard() { releasePlan(&plan); }
};
} // namespace

void rowsToColumns(const TVN_DWORD* rows, std::size_t stride, TVN_DWORD width, TVN_DWORD* cols) {
    const simd::Ops* ops = simd::select();
    TVN_DWORD x = 0;
    if (ops)
        for (; x + kBlock <= width; x += kBlock) ops->transpose16(rows + x, stride, cols + x * kBlock, kBlock);
    for (; x < width; ++x)
        for (TVN_DWORD r = 0; r < kBlock; ++r) cols[x * kBlock + r] = rows[r * stride + x];
}

void columnsToRows(const TVN_DWORD* cols, TVN_DWORD width, TVN_DWORD* rows, std::size_t stride) {
    const simd::Ops* ops = simd::select();
    TVN_DWORD x = 0;
    if (ops)
        for (; x + kBlock <= width; x += kBlock) ops->transpose16(cols + x * kBlock, kBlock, rows + x, stride);
    for (; x < width; ++x)
        for (TVN_DWORD r = 0; r < kBlock; ++r) rows[r * stride + x] = cols[x * kBlock + r];
}

// Blocks of 16 source rows are turned into column order, so that every
// destination column of the block is a weighted sum of whole 64-byte units;
// the last block overlaps the one before it when the height is not a multiple
// of 16 (the rows it computes again come out the same).
PassResult fastHorizontal(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD srcWidth, TVN_DWORD dstWidth,
                          TVN_DWORD height, const WEIGHT_TABLE& table, const ScalerProgress& progress) {
    const simd::Ops* ops = simd::select();
    if (!ops || height < kBlock) return kPassReference;
    PlanGuard guard;
    std::size_t inBytes = 0, outBytes = 0;
    if (!pixel::checkedSize(srcWidth, kBlock, 4, &inBytes) || !pixel::checkedSize(dstWidth, kBlock, 4, &outBytes) ||
        !buildPlan(table, kBlock * 4, &guard.plan))
        return kPassStopped;
    pixel::HeapBlock in(pixel::heapAlloc(inBytes)), out(pixel::heapAlloc(outBytes));
    if (!in.get() || !out.get()) return kPassStopped;
    const std::size_t unit = 0;
    simd::CombineJob job = {in.as<unsigned char>(), kBlock * 4, &guard.plan, 0, dstWidth,
                            out.as<unsigned char>(), kBlock * 4, &unit, 1};
    for (TVN_DWORD y = 0; y < height;) {
        const TVN_DWORD top = y + kBlock <= height ? y : height - kBlock;
        for (; y < top + kBlock; ++y)
            if (!progress.row(y, height)) return kPassStopped;
        rowsToColumns(src + static_cast<std::size_t>(top) * srcWidth, srcWidth, srcWidth, in.as<TVN_DWORD>());
        ops->combine(job);
        columnsToRows(out.as<TVN_DWORD>(), dstWidth, dst + static_cast<std::size_t>(top) * dstWidth, dstWidth);
    }
    return kPassDone;
}

// Blocks of up to 64 columns, computed destination row by destination row, so
// that every source row is read as whole runs of 16 pixels.
PassResult fastVertical(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD srcHeight,
                        TVN_DWORD dstHeight, const WEIGHT_TABLE& table, const ScalerProgress& progress) {
    (void)srcHeight;
    const simd::Ops* ops = simd::select();
    if (!ops || width < kBlock) return kPassReference;
    PlanGuard guard;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    if (!buildPlan(table, stride, &guard.plan)) return kPassStopped;
    const unsigned char* base = reinterpret_cast<const unsigned char*>(src);
    unsigned char* out = reinterpret_cast<unsigned char*>(dst);
    for (TVN_DWORD x = 0; x < width;) {
        const TVN_DWORD end = width - x > kColumnsPerBlock ? x + kColumnsPerBlock : width;
        std::size_t units[kColumnsPerBlock / kBlock];
        unsigned n = 0;
        for (TVN_DWORD u = x; u < end; u += kBlock)
            units[n++] = static_cast<std::size_t>(u + kBlock <= end ? u : end - kBlock) * 4;
        for (; x < end; ++x)
            if (!progress.column(x, width)) return kPassStopped;
        simd::CombineJob job = {base, stride, &guard.plan, 0, dstHeight, out, stride, units, n};
        ops->combine(job);
    }
    return kPassDone;
}

} // namespace tvn::resample
