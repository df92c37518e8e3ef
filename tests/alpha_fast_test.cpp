// The fast position paths against the per-pixel formulas, for every kernel set
// this processor runs: exhaustive over the settings and sizes that can be
// enumerated, randomised beyond.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "alpha/position_kernels.h"
#include "support/levels.h"
#include "support/helpers.h"

namespace {

using namespace tvn::alpha;

// The kernels of a level; the drivers over plain loops stand in for the reference.
const PositionKernels& kernelsOf(tvn::pixel::cpu::Level level) {
    const PositionKernels* k = positionKernels(level);
    return k ? *k : positionKernelsReference();
}

IMG_TRANSP gradient(unsigned t, unsigned l, unsigned r, unsigned b) {
    IMG_TRANSP s = {};
    s.byMode = TRANSP_LG;
    s.byLGTop = static_cast<unsigned char>(t), s.byLGLeft = static_cast<unsigned char>(l);
    s.byLGRight = static_cast<unsigned char>(r), s.byLGBottom = static_cast<unsigned char>(b);
    return s;
}

IMG_TRANSP ellipse(unsigned c, unsigned e) {
    IMG_TRANSP s = {};
    s.byMode = TRANSP_ELL;
    s.byEllCenter = static_cast<unsigned char>(c), s.byEllBorder = static_cast<unsigned char>(e);
    return s;
}

// Runs one mode through the reference and every kernel set on the same pixels;
// returns false after the first mismatch (reported with its position).
bool sameAsReference(TVN_DWORD w, TVN_DWORD h, const IMG_TRANSP& s, unsigned seed) {
    const bool grad = s.byMode == TRANSP_LG;
    // Cheap varied pixels (the grid runs this hundreds of thousands of times).
    std::vector<TVN_DWORD> src(static_cast<std::size_t>(w) * h);
    TVN_DWORD state = seed * 2654435761u + 1;
    for (TVN_DWORD& p : src) p = state = state * 1664525u + 1013904223u;
    std::vector<TVN_DWORD> ref = src;
    grad ? gradientReference(ref.data(), w, h, s) : ellipseReference(ref.data(), w, h, s);
    bool same = true;
    tvntest::forEachLevel([&](tvn::pixel::cpu::Level level) {
        std::vector<TVN_DWORD> got = src;
        const PositionKernels& k = kernelsOf(level);
        grad ? gradientFast(k, got.data(), w, h, s) : ellipseFast(k, got.data(), w, h, s);
        for (std::size_t i = 0; same && i < got.size(); ++i)
            if (got[i] != ref[i]) {
                ADD_FAILURE() << (grad ? "gradient " : "ellipse ") << w << "x" << h << " at x=" << i % w
                              << " y=" << i / w << ": " << std::hex << got[i] << " != " << ref[i];
                same = false;
            }
    });
    return same;
}

TEST(AlphaFast, ConstantEqualsFormulaForEveryStoredPercent) {
    tvntest::forEachLevel([](tvn::pixel::cpu::Level level) {
        for (unsigned p = 0; p < 256; ++p) {
            std::vector<TVN_DWORD> ref = tvntest::randomPixels(37, 1, p), got = ref;
            constantReference(ref.data(), ref.size(), static_cast<unsigned char>(p));
            constantFast(kernelsOf(level), got.data(), got.size(), static_cast<unsigned char>(p));
            ASSERT_EQ(got, ref) << " percent " << p;
        }
    });
}

TEST(AlphaFast, GradientEqualsFormulaOverPercentsAndSmallSizes) {
    // 11 x 3 covers vector bodies and tails; every quadruple of a grid of
    // percentages, stored values above 100 included.
    const unsigned grid[] = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 101, 255};
    for (unsigned t : grid)
        for (unsigned l : grid)
            for (unsigned r : grid)
                for (unsigned b : grid) ASSERT_TRUE(sameAsReference(11, 3, gradient(t, l, r, b), t + l));
    for (unsigned p = 0; p <= 101; ++p)
        for (unsigned q = 0; q <= 101; ++q) {
            ASSERT_TRUE(sameAsReference(17, 2, gradient(0, p, q, 37), p));
            ASSERT_TRUE(sameAsReference(2, 17, gradient(p, 63, 7, q), q));
        }
    for (TVN_DWORD w = 1; w <= 24; ++w)
        for (TVN_DWORD h = 1; h <= 24; ++h) ASSERT_TRUE(sameAsReference(w, h, gradient(10, 90, 0, 45), w));
}

TEST(AlphaFast, EllipseEqualsFormulaForEveryCentreBorderAndSmallSize) {
    const TVN_DWORD sizes[][2] = {{1, 1}, {4, 4}, {5, 3}, {7, 6}, {2, 9}, {12, 11}};
    for (unsigned c = 0; c <= 101; ++c)
        for (unsigned e = 0; e <= 101; ++e)
            for (const auto& s : sizes) ASSERT_TRUE(sameAsReference(s[0], s[1], ellipse(c, e), c * e));
    // Odd and even sizes place the centre between or on pixels; the mirror
    // symmetry of the fast path depends on it.
    for (TVN_DWORD w = 1; w <= 40; ++w)
        for (TVN_DWORD h = 1; h <= 40; ++h)
            for (const IMG_TRANSP& s : {ellipse(0, 100), ellipse(37, 5), ellipse(255, 0)})
                ASSERT_TRUE(sameAsReference(w, h, s, w * h));
}

TEST(AlphaFast, RandomLargePictures) {
    std::mt19937 rng(2024);
    for (int i = 0; i < 12; ++i) {
        TVN_DWORD w = 1 + rng() % 900, h = 1 + rng() % 700;
        auto pct = [&] { return static_cast<unsigned>(rng() % 110); };
        ASSERT_TRUE(sameAsReference(w, h, gradient(pct(), pct(), pct(), pct()), i));
        ASSERT_TRUE(sameAsReference(w, h, ellipse(pct(), pct()), i));
    }
    // Full-size pictures, where a^2 b^2 d^2 no longer fits a double exactly and
    // the order of the products decides the rounding.
    ASSERT_TRUE(sameAsReference(4000, 3000, ellipse(0, 100), 4));
    ASSERT_TRUE(sameAsReference(1001, 999, ellipse(13, 71), 5));
    // Very elongated shapes: the half-axes differ by orders of magnitude.
    ASSERT_TRUE(sameAsReference(20000, 3, ellipse(20, 70), 1));
    ASSERT_TRUE(sameAsReference(2, 20001, ellipse(90, 10), 2));
    ASSERT_TRUE(sameAsReference(20001, 2, gradient(1, 99, 3, 60), 3));
}

} // namespace
