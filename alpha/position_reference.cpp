// The position modes pixel by pixel, literally as defined; the fast paths are
// proven against these loops.
#include "alpha/position_kernels.h"

#include "pixel/bands.h"

namespace tvn {
namespace alpha {

namespace {
const TVN_DWORD kRowsPerPiece = 16;
const std::size_t kWordsPerPiece = 1 << 16;

TVN_DWORD setAlpha(TVN_DWORD word, TVN_DWORD a) {
    return (word & 0x00FFFFFFu) + a * 0x01000000u;
}

// body(y) for every row, in bands over the pool.
template <class Row>
void forEachRow(pixel::BandCost kind, TVN_DWORD width, TVN_DWORD height, Row row) {
    pixel::forEachBand(pixel::LineBands(height, kRowsPerPiece, 1), kind,
                       static_cast<double>(width) * height, [&](TVN_DWORD first, TVN_DWORD end) {
                           for (TVN_DWORD y = first; y < end; ++y) row(y);
                       });
}
} // namespace

void constantReference(TVN_DWORD* words, std::size_t count, unsigned char percent) {
    unsigned p = percent > 100 ? 100u : percent;
    pixel::forEachSpan(count, kWordsPerPiece, pixel::BandCost::AlphaCopy, [&](std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i) words[i] = setAlpha(words[i], (100 - p) * 255 / 100);
    });
}

void gradientReference(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings) {
    unsigned top = limitPercent(settings.byLGTop), left = limitPercent(settings.byLGLeft);
    unsigned right = limitPercent(settings.byLGRight), bottom = limitPercent(settings.byLGBottom);
    forEachRow(pixel::BandCost::Gradient, width, height, [&](TVN_DWORD y) {
        TVN_DWORD* row = words + static_cast<std::size_t>(y) * width;
        for (TVN_DWORD x = 0; x < width; ++x) {
            double fx = static_cast<double>(x) / width;
            double fy = static_cast<double>(y) / height;
            double h = ((100 - left) * (1 - fx) + (100 - right) * fx) / 100;
            double v = ((100 - bottom) * (1 - fy) + (100 - top) * fy) / 100;
            int a = static_cast<int>(255 * h * v);
            row[x] = setAlpha(row[x], static_cast<TVN_DWORD>(a));
        }
    });
}

void ellipseReference(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings) {
    unsigned c = limitPercent(settings.byEllCenter), e = limitPercent(settings.byEllBorder);
    double a = width / 2.0, b = height / 2.0;
    forEachRow(pixel::BandCost::Ellipse, width, height, [&](TVN_DWORD y) {
        TVN_DWORD* row = words + static_cast<std::size_t>(y) * width;
        for (TVN_DWORD x = 0; x < width; ++x) {
            double dx = x - a, dy = y - b;
            double d2 = dx * dx + dy * dy;
            double r2;
            if (dx == 0) r2 = b * b;
            else if (dy == 0) r2 = a * a;
            else r2 = (a * a) * (b * b) * d2 / ((b * b) * (dx * dx) + (a * a) * (dy * dy));
            TVN_DWORD alpha = 0;
            if (d2 <= r2) {
                double t = d2 / r2;
                alpha = static_cast<TVN_DWORD>(static_cast<int>(255 * ((100 - c) * (1 - t) + (100 - e) * t) / 100));
            }
            row[x] = setAlpha(row[x], alpha);
        }
    });
}

} // namespace alpha
} // namespace tvn
