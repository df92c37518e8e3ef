// The vector drivers of the scaler's two passes. They make the same progress
// calls in the same order as the reference passes: before computing a block of
// 16 rows (or up to 64 columns) they report each of its rows (columns) in turn,
// and stop at the first call that asks to abort; the caller then discards
// everything the pass wrote.
#ifndef TIVORN_RESAMPLE_PASSES_H
#define TIVORN_RESAMPLE_PASSES_H

#include "tivorn/image.h"
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

enum PassResult { kPassDone, kPassStopped, kPassReference };

// kPassReference when the vector path does not apply (reference forced, or a
// picture too small for a block); the caller then runs the reference pass.
PassResult fastHorizontal(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD srcWidth, TVN_DWORD dstWidth,
                          TVN_DWORD height, const WEIGHT_TABLE& table, const ScalerProgress& progress);
PassResult fastVertical(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD srcHeight,
                        TVN_DWORD dstHeight, const WEIGHT_TABLE& table, const ScalerProgress& progress);

// Moves a block of 16 rows of `width` words into column order and back:
// cols[x * 16 + r] = rows[r * stride + x].
void rowsToColumns(const TVN_DWORD* rows, std::size_t stride, TVN_DWORD width, TVN_DWORD* cols);
void columnsToRows(const TVN_DWORD* cols, TVN_DWORD width, TVN_DWORD* rows, std::size_t stride);

} // namespace tvn::resample

#endif
