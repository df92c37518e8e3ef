// The loops of the constant, gradient and ellipse modes: the per-pixel
// reference, and fast drivers over vector row kernels of one instruction set.
#ifndef TIVORN_POSITION_KERNELS_H
#define TIVORN_POSITION_KERNELS_H

#include <cstddef>

#include "alpha/position_formulas.h"
#include "pixel/cpu_features.h"
#include "tivorn/image.h"

namespace tvn {
namespace alpha {

// Reference: every formula evaluated per pixel, as the modes define it.
void constantReference(TVN_DWORD* words, std::size_t count, unsigned char percent);
void gradientReference(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings);
void ellipseReference(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings);

// Row kernels of one instruction set.
struct PositionKernels {
    // Sets the alpha byte of count words.
    void (*fill)(TVN_DWORD* words, std::size_t count, TVN_DWORD alpha);
    // Two gradient rows sharing the column loads (upper may be null): alpha of
    // column x is gradientAlpha(columns[x], lowerFactor), likewise upper.
    void (*gradientRows)(TVN_DWORD* lower, TVN_DWORD* upper, const double* columns, TVN_DWORD width,
                         double lowerFactor, double upperFactor);
    // Ellipse alpha of columns first .. first + count - 1 of a row whose squared
    // vertical distance is dy2 (axis: the row through the centre), into out.
    // Every column given lies left of the centre (dx < 0).
    void (*ellipseRow)(const EllipseShape& shape, double dy2, bool axis, TVN_DWORD first, TVN_DWORD count,
                       unsigned char* out);
};

// The reference row loops (the drivers' factorisation without vectors); the SSE2
// and AVX2 sets of x86 builds.
const PositionKernels& positionKernelsReference();
#ifdef TVN_X86
const PositionKernels& positionKernelsSse2();
const PositionKernels& positionKernelsAvx2();
#endif

// The set of a level: null at Reference, where the per-pixel formulas run.
const PositionKernels* positionKernels(pixel::cpu::Level level);

// Fast drivers: the gradient through a column table, the ellipse through its
// mirror symmetry (one quadrant computed, three copied).
void constantFast(const PositionKernels& k, TVN_DWORD* words, std::size_t count, unsigned char percent);
void gradientFast(const PositionKernels& k, TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height,
                  const IMG_TRANSP& settings);
void ellipseFast(const PositionKernels& k, TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height,
                 const IMG_TRANSP& settings);

// What the modes call: the fastest kernels this processor runs, else the reference.
void applyConstant(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings);
void applyGradient(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings);
void applyEllipse(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, const IMG_TRANSP& settings);

} // namespace alpha
} // namespace tvn

#endif
