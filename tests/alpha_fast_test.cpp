// The fast paths of the transparency modes against the per-pixel formulas, for
// every kernel set this processor runs: the position modes exhaustive over the
// settings and sizes that can be enumerated, randomised beyond; chromakey over
// every squared distance, colour difference and (distance, deviation, keying),
// beside its worked values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "alpha/chromakey_kernels.h"
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

IMG_TRANSP gradient(unsigned char t, unsigned char l, unsigned char r, unsigned char b) {
    return IMG_TRANSP{TRANSP_LG, 0, t, l, r, b, 0, 0, 0, 0, 0};
}

IMG_TRANSP ellipse(unsigned char c, unsigned char e) {
    return IMG_TRANSP{TRANSP_ELL, 0, 0, 0, 0, 0, c, e, 0, 0, 0};
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

// Alpha that the mode gives a pixel, through the public operation.
unsigned keyed(TVN_DWORD pixel, TVN_DWORD key, int soft, TVN_DWORD dev) {
    CRGBAImage image(&pixel, 1, 1);
    EXPECT_EQ(image.setTransparency(IMG_TRANSP{TRANSP_CHROMAKEY, 0, 0, 0, 0, 0, 0, 0, key, soft, dev}, nullptr), 1);
    EXPECT_EQ(image.getBuffer()[0] & 0x00FFFFFFu, pixel & 0x00FFFFFFu);
    return image.getBuffer()[0] >> 24;
}

// A grey pixel (0, d, 0) lies at distance d from black for d up to 255.
TVN_DWORD atDistance(unsigned d) {
    return tvnRGBA(0, static_cast<unsigned char>(d), 0, 0x55);
}

TEST(Chromakey, WorkedValues) {
    const TVN_DWORD key = tvnRGBA(10, 200, 30, 0);
    EXPECT_EQ(keyed(key | 0xFF000000u, key, 0, 0), 0u);
    EXPECT_EQ(keyed(key + 1, key, 0, 0), 255u);
    EXPECT_EQ(keyed(key, key, 1, 0), 0u); // soft with D = 0 acts as hard
    EXPECT_EQ(keyed(key + 1, key, 1, 0), 255u);

    const unsigned soft100[][2] = {{0, 0}, {1, 2}, {50, 127}, {100, 254}, {101, 255}};
    for (const auto& c : soft100) EXPECT_EQ(keyed(atDistance(c[0]), 0, 1, 100), c[1]) << c[0];
    EXPECT_EQ(keyed(atDistance(255), 0, 1, 255), 255u);
    EXPECT_EQ(keyed(atDistance(127), 0, 1, 255), 127u);

    // Only the key's colour bytes count.
    EXPECT_EQ(keyed(atDistance(3), 0xAB000000u, 0, 3), 0u);
    EXPECT_EQ(keyed(atDistance(4), 0xAB000000u, 0, 3), 255u);
    // D = 441 (or more) keys every colour.
    EXPECT_EQ(keyed(0x00FFFFFFu, 0, 0, 441), 0u);
    EXPECT_EQ(keyed(0x00FFFFFFu, 0, 0, 0xFFFFFFFFu), 0u);
}

TEST(Chromakey, VectorRootEqualsDoubleRootForEverySquaredDistance) {
    tvntest::forEachLevel([](tvn::pixel::cpu::Level level) {
        for (TVN_DWORD n = 0; n <= kMaxSquaredDistance; ++n)
            ASSERT_EQ(chromakeyKernels(level).root(n), static_cast<TVN_DWORD>(std::sqrt(static_cast<double>(n)))) << n;
    });
}

// Every vector path on the pixels gives what the reference gives.
void expectPathsMatchReference(const std::vector<TVN_DWORD>& pixels, const ChromakeySettings& s) {
    std::vector<TVN_DWORD> ref = pixels;
    chromakeyReference(ref.data(), ref.size(), s);
    tvntest::forEachLevel([&](tvn::pixel::cpu::Level level) {
        std::vector<TVN_DWORD> got = pixels;
        chromakeyKernels(level).run(got.data(), got.size(), s);
        auto bad = std::mismatch(got.begin(), got.end(), ref.begin());
        ASSERT_TRUE(bad.first == got.end()) << "pixel " << std::hex << pixels[bad.first - got.begin()] << " deviation "
                                            << std::dec << s.deviation << " soft " << s.soft;
    });
}

// Every colour against black covers every channel difference a pair can have.
TEST(Chromakey, VectorPathsEqualReferenceForEveryColour) {
    std::vector<TVN_DWORD> all(1u << 24);
    for (TVN_DWORD c = 0; c < all.size(); ++c) all[c] = c | ((c * 37u) << 24);
    for (ChromakeySettings s : {ChromakeySettings{0xFF000000u, 1, 300}, ChromakeySettings{0x00807F81u, 0, 97}})
        expectPathsMatchReference(all, s);
}

// The alpha rule for every distance 0..441 and every deviation up to past the
// largest distance, hard and soft, through the whole kernels.
TEST(Chromakey, VectorPathsEqualReferenceForEveryDistanceAndDeviation) {
    std::vector<TVN_DWORD> byDistance(442, 0xFFFFFFFFu);
    for (unsigned g = 0; g < 256; ++g)
        for (unsigned b = 0; b < 256; ++b) {
            TVN_DWORD c = tvnRGBA(255, static_cast<unsigned char>(g), static_cast<unsigned char>(b), 0x80);
            byDistance[tvnGetColorDist(c, 0)] = c;
        }
    for (unsigned d = 0; d < 256; ++d) byDistance[d] = atDistance(d);
    for (TVN_DWORD c : byDistance) ASSERT_NE(c, 0xFFFFFFFFu);
    std::vector<TVN_DWORD> devs = {1000u, 0x7FFFFFFFu, 0x80000000u, 0xFF000000u, 0xFFFFFFFFu};
    for (TVN_DWORD d = 0; d <= 460; ++d) devs.push_back(d);
    for (TVN_DWORD dev : devs)
        for (int soft : {0, 1, -3}) expectPathsMatchReference(byDistance, ChromakeySettings{0, soft, dev});
}

} // namespace
