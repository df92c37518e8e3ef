// The per-column, per-row and per-pixel pieces of the position modes, shared by
// the fast paths and their vector tails. Each piece evaluates exactly the double
// expression of the mode, in the same order, so a factorised loop gives the
// same bits as the per-pixel formula (the tests check it exhaustively).
#ifndef TIVORN_POSITION_FORMULAS_H
#define TIVORN_POSITION_FORMULAS_H

#include "tivorn/types.h"

namespace tvn {
namespace alpha {

// Settings are transparency percentages; a stored 101..255 acts as 100.
inline unsigned limitPercent(unsigned char percent) {
    return percent > 100 ? 100u : percent;
}

inline TVN_DWORD constantAlpha(unsigned char percent) {
    return (100 - limitPercent(percent)) * 255 / 100;
}

// Linear gradient: A = 255 x h x v, evaluated as (255 x h) x v.
// 255 x h of column x: ((100 - L)(1 - x/W) + (100 - R) x/W) / 100, times 255.
inline double gradientColumn(TVN_DWORD x, TVN_DWORD width, unsigned left, unsigned right) {
    double fx = static_cast<double>(x) / static_cast<double>(width);
    double h = ((100 - left) * (1.0 - fx) + (100 - right) * fx) / 100.0;
    return 255.0 * h;
}

// v of row y (row 0 is the bottom edge).
inline double gradientRow(TVN_DWORD y, TVN_DWORD height, unsigned bottom, unsigned top) {
    double fy = static_cast<double>(y) / static_cast<double>(height);
    return ((100 - bottom) * (1.0 - fy) + (100 - top) * fy) / 100.0;
}

// Both factors lie in [0, 1], so the product is in [0, 255].
inline TVN_DWORD gradientAlpha(double column, double row) {
    return static_cast<TVN_DWORD>(static_cast<int>(column * row));
}

// Ellipse constants of a W x H target: half-axes, their squares, and the two
// weights 100 - C and 100 - E.
struct EllipseShape {
    double a, b;
    double a2, b2, a2b2;
    double centre, border;
};

inline EllipseShape ellipseShape(TVN_DWORD width, TVN_DWORD height, unsigned centre, unsigned border) {
    EllipseShape s;
    s.a = width / 2.0;
    s.b = height / 2.0;
    s.a2 = s.a * s.a;
    s.b2 = s.b * s.b;
    s.a2b2 = s.a2 * s.b2;
    s.centre = 100 - centre;
    s.border = 100 - border;
    return s;
}

// Alpha from the squared distance d2 and the squared ray length r2:
// 255 ((100 - C)(1 - t) + (100 - E) t) / 100 with t = d2 / r2, 0 outside.
inline TVN_DWORD ellipseAlphaFrom(const EllipseShape& s, double d2, double r2) {
    if (!(d2 <= r2)) return 0;
    double t = d2 / r2;
    return static_cast<TVN_DWORD>(static_cast<int>(255.0 * (s.centre * (1.0 - t) + s.border * t) / 100.0));
}

// Squared length of the ray from the centre through (dx, dy) to the ellipse.
inline double ellipseRay2(const EllipseShape& s, double dx2, double dy2, bool dxZero, bool dyZero) {
    if (dxZero) return s.b2;
    if (dyZero) return s.a2;
    return s.a2b2 * (dx2 + dy2) / (s.b2 * dx2 + s.a2 * dy2);
}

inline TVN_DWORD ellipseAlpha(const EllipseShape& s, double dx, double dy) {
    double dx2 = dx * dx, dy2 = dy * dy;
    return ellipseAlphaFrom(s, dx2 + dy2, ellipseRay2(s, dx2, dy2, dx == 0, dy == 0));
}

} // namespace alpha
} // namespace tvn

#endif
