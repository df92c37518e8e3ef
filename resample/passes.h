// The scaler's two passes, cut into bands of lines that the worker pool's
// threads compute side by side: bands of 16 source rows for the horizontal
// pass, of 64 destination columns for the vertical one. Every line comes out
// the same whichever thread computes it and whichever path (vector or
// reference) runs. Progress is reported on the calling thread, one call per
// source row and then one per destination column, in order, as lines are
// taken; the first call that asks to abort stops every band.
#ifndef TIVORN_RESAMPLE_PASSES_H
#define TIVORN_RESAMPLE_PASSES_H

#include "tivorn/image.h"
#include "resample/simd.h"
#include "resample/weights.h"

namespace tvn::resample {

struct ScalerProgress {
    IMG_PROGRESS_PROC proc;
    void* user;
    // Reports source row y of the horizontal pass; false: abort.
    bool row(TVN_DWORD y, TVN_DWORD height) const {
        return !proc || proc(static_cast<unsigned char>(static_cast<double>(y) / height * 50.0), user) != 0;
    }
    // Reports destination column x of the vertical pass; false: abort.
    bool column(TVN_DWORD x, TVN_DWORD width) const {
        return !proc || proc(static_cast<unsigned char>(static_cast<double>(x) / width * 50.0 + 50.0), user) != 0;
    }
};

// Each pass returns false when progress asked to abort or memory was short (the
// caller then discards what it wrote).
bool horizontalPass(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD srcWidth, TVN_DWORD dstWidth, TVN_DWORD height,
                    const WEIGHT_TABLE& table, const ScalerProgress& progress);
bool verticalPass(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD srcHeight, TVN_DWORD dstHeight,
                  const WEIGHT_TABLE& table, const ScalerProgress& progress);

// Moves a block of 16 rows of `width` words into column order and back:
// cols[x * 16 + r] = rows[r * stride + x]. ops may be null (plain loops).
void rowsToColumns(const simd::Ops* ops, const TVN_DWORD* rows, std::size_t stride, TVN_DWORD width,
                   TVN_DWORD* cols);
void columnsToRows(const simd::Ops* ops, const TVN_DWORD* cols, TVN_DWORD width, TVN_DWORD* rows,
                   std::size_t stride);

} // namespace tvn::resample

#endif
