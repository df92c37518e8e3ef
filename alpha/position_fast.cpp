// Fast drivers of the position modes and the choice of kernels.
#include <algorithm>

#include "alpha/alpha_frame.h"
#include "pixel/bands.h"
#include "pixel/cpu_features.h"
#include "pixel/heap.h"
#include "alpha/position_kernels.h"

namespace tvn {
namespace alpha {

namespace {

const TVN_DWORD kEllipseBlock = 256;
const TVN_DWORD kRowsPerPiece = 16; // even: the gradient's row pairs start where they would on one thread
const std::size_t kWordsPerPiece = 1 << 16;

// Gives row `to` the alpha bytes of row `from`.
void copyRowAlpha(TVN_DWORD* to, const TVN_DWORD* from, TVN_DWORD width) {
    for (TVN_DWORD x = 0; x < width; ++x) to[x] = (to[x] & 0x00FFFFFFu) | (from[x] & 0xFF000000u);
}

// One row of the ellipse: columns left of the centre from the kernel, each also
// written to its mirror column W - x (dx and -dx square to the same bits); the
// centre column itself, present for an even width, on its own.
void ellipseRow(const PositionKernels& k, const EllipseShape& s, TVN_DWORD* row, TVN_DWORD width, double dy) {
    double dy2 = dy * dy;
    bool axis = dy == 0;
    TVN_DWORD left = width / 2 + width % 2;
    unsigned char block[kEllipseBlock];
    for (TVN_DWORD first = 0; first < left; first += kEllipseBlock) {
        TVN_DWORD n = std::min(kEllipseBlock, left - first);
        k.ellipseRow(s, dy2, axis, first, n, block);
        for (TVN_DWORD i = 0; i < n; ++i) {
            TVN_DWORD x = first + i;
            row[x] = withAlpha(row[x], block[i]);
            if (x) row[width - x] = withAlpha(row[width - x], block[i]);
        }
    }
    if (width % 2 == 0) row[width / 2] = withAlpha(row[width / 2], ellipseAlpha(s, 0.0, dy));
}

void fillReference(TVN_DWORD* words, std::size_t count, TVN_DWORD alpha) {
    for (std::size_t i = 0; i < count; ++i) words[i] = withAlpha(words[i], alpha);
}

void gradientRowsReference(TVN_DWORD* lower, TVN_DWORD* upper, const double* columns, TVN_DWORD width,
                           double lowerFactor, double upperFactor) {
    for (TVN_DWORD x = 0; x < width; ++x) lower[x] = withAlpha(lower[x], gradientAlpha(columns[x], lowerFactor));
    if (!upper) return;
    for (TVN_DWORD x = 0; x < width; ++x) upper[x] = withAlpha(upper[x], gradientAlpha(columns[x], upperFactor));
}

void ellipseRowReference(const EllipseShape& s, double dy2, bool axis, TVN_DWORD first, TVN_DWORD count,
                         unsigned char* out) {
    for (TVN_DWORD i = 0; i < count; ++i) {
        double dx = (first + i) - s.a;
        double dx2 = dx * dx;
        out[i] = static_cast<unsigned char>(ellipseAlphaFrom(s, dx2 + dy2, ellipseRay2(s, dx2, dy2, false, axis)));
    }
}

} // namespace

const PositionKernels& positionKernelsReference() {
    static const PositionKernels k = {fillReference, gradientRowsReference, ellipseRowReference};
    return k;
}

void constantFast(const PositionKernels& k, TVN_DWORD* words, std::size_t count, unsigned char percent) {
    const TVN_DWORD alpha = constantAlpha(percent);
    pixel::forEachSpan(count, kWordsPerPiece, pixel::BandCost::AlphaCopy,
                       [&](std::size_t first, std::size_t end) { k.fill(words + first, end - first, alpha); });
}

void gradientFast(const PositionKernels& k, TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height,
                  const IMG_TRANSP& settings) {
    if (!width || !height) return;
    std::size_t bytes = 0;
    pixel::HeapBlock table(pixel::checkedSize(width, sizeof(double), 1, &bytes) ? pixel::heapAlloc(bytes) : nullptr);
    // Without room for the column table the reference does the same work.
    if (!table.get()) return gradientReference(words, width, height, settings);
    double* columns = table.as<double>();
    unsigned left = limitPercent(settings.byLGLeft), right = limitPercent(settings.byLGRight);
    unsigned bottom = limitPercent(settings.byLGBottom), top = limitPercent(settings.byLGTop);
    for (TVN_DWORD x = 0; x < width; ++x) columns[x] = gradientColumn(x, width, left, right);
    const pixel::LineBands bands(height, kRowsPerPiece, 1);
    pixel::forEachBand(bands, pixel::BandCost::Gradient, static_cast<double>(width) * height,
                       [&](TVN_DWORD first, TVN_DWORD end) {
                           for (TVN_DWORD y = first; y < end;) {
                               TVN_DWORD* lower = words + static_cast<std::size_t>(y) * width;
                               const bool pair = end - y > 1;
                               k.gradientRows(lower, pair ? lower + width : nullptr, columns, width,
                                              gradientRow(y, height, bottom, top),
                                              pair ? gradientRow(y + 1, height, bottom, top) : 0.0);
                               y += pair ? 2 : 1;
                           }
                       });
}

void ellipseFast(const PositionKernels& k, TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height,
                 const IMG_TRANSP& settings) {
    if (!width || !height) return;
    EllipseShape s =
        ellipseShape(width, height, limitPercent(settings.byEllCenter), limitPercent(settings.byEllBorder));
    // Rows below the centre (and the centre row of an even height) are computed;
    // row H - y mirrors row y. A computed row writes only itself and its
    // mirror, so bands of them never meet.
    const TVN_DWORD last = height / 2, computed = last + 1 < height ? last + 1 : height;
    const pixel::LineBands bands(computed, kRowsPerPiece, 1);
    pixel::forEachBand(bands, pixel::BandCost::Ellipse, static_cast<double>(width) * height,
                       [&](TVN_DWORD first, TVN_DWORD end) {
                           for (TVN_DWORD y = first; y < end; ++y) {
                               TVN_DWORD* row = words + static_cast<std::size_t>(y) * width;
                               ellipseRow(k, s, row, width, y - s.b);
                               const TVN_DWORD mirror = height - y;
                               if (y && mirror > y && mirror < height)
                                   copyRowAlpha(words + static_cast<std::size_t>(mirror) * width, row, width);
                           }
                       });
}

const PositionKernels* positionKernels(pixel::cpu::Level level) {
#ifdef TVN_X86
    if (level >= pixel::cpu::Level::Avx2) return &positionKernelsAvx2();
    if (level >= pixel::cpu::Level::Sse2) return &positionKernelsSse2();
#else
    (void)level;
#endif
    return nullptr;
}

namespace {
const PositionKernels* bestKernels() {
    return positionKernels(pixel::cpu::level());
}
} // namespace

void applyConstant(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings) {
    std::size_t count = static_cast<std::size_t>(width) * height;
    if (const PositionKernels* k = bestKernels()) return constantFast(*k, words, count, settings.byConstTransp);
    constantReference(words, count, settings.byConstTransp);
}

void applyGradient(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings) {
    if (const PositionKernels* k = bestKernels()) return gradientFast(*k, words, width, height, settings);
    gradientReference(words, width, height, settings);
}

void applyEllipse(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings) {
    if (const PositionKernels* k = bestKernels()) return ellipseFast(*k, words, width, height, settings);
    ellipseReference(words, width, height, settings);
}

} // namespace alpha
} // namespace tvn
