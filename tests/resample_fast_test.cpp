// Every vector path of the scaler and the blur against the scalar reference:
// random and photo-like pictures, all six kernels, shrinking, enlarging, mixed and
// odd sizes, blur kernels up to past the largest; and the exact multipliers that
// the vector paths rest on.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "image/image_access.h"
#include "resample/passes.h"
#include "resample/plan.h"
#include "resample/simd.h"
#include "support/helpers.h"
#include "support/levels.h"

namespace {

using tvntest::forEachLevel;
using tvntest::onReference;
using tvntest::pixelsOf;
using tvntest::randomPixels;

std::vector<TVN_DWORD> resized(const std::vector<TVN_DWORD>& px, TVN_DWORD w, TVN_DWORD h, TVN_DWORD nw,
                               TVN_DWORD nh, int filter) {
    CRGBAImage image(px.data(), w, h);
    EXPECT_EQ(image.setSize(nw, nh, filter, nullptr, nullptr), 1);
    return pixelsOf(image);
}

struct Size {
    TVN_DWORD w, h, nw, nh;
    bool photo; // smooth pictures, where long runs of equal samples meet the identity spans
};

TEST(ResampleFast, EveryVectorPathMatchesTheReference) {
    const Size sizes[] = {
        {96, 64, 24, 16, false},    // shrink x4
        {93, 61, 31, 20, false},    // x3
        {80, 48, 40, 24, false},    // x2
        {75, 45, 50, 30, false},    // x1.5
        {77, 55, 70, 50, false},    // x1.1
        {53, 37, 53, 37, false},    // same size
        {40, 30, 52, 39, false},    // enlarge x1.3
        {33, 17, 66, 34, false},    // x2
        {20, 18, 74, 67, false},    // x3.7
        {64, 20, 17, 71, false},    // shrink one axis, enlarge the other
        {1, 1, 19, 23, false},      // from one pixel
        {41, 29, 1, 1, false},      // to one pixel
        {17, 16, 16, 17, false},    // one block, and one column over
        {101, 103, 107, 97, false}, // primes
        {240, 160, 60, 40, true},   {240, 160, 481, 319, true}, {240, 160, 160, 90, true},
    };
    for (const Size& s : sizes)
        for (int filter = 1; filter <= 6; ++filter) {
            std::vector<TVN_DWORD> px = s.photo ? randomPixels(s.w, s.h, 5, true) : randomPixels(s.w, s.h, s.w * 131 + filter);
            auto expected = onReference([&] { return resized(px, s.w, s.h, s.nw, s.nh, filter); });
            forEachLevel([&](tvn::pixel::cpu::Level) {
                ASSERT_EQ(resized(px, s.w, s.h, s.nw, s.nh, filter), expected)
                    << s.w << "x" << s.h << " -> " << s.nw << "x" << s.nh << " filter " << filter;
            });
        }
}

std::vector<TVN_DWORD> blurred(const std::vector<TVN_DWORD>& px, TVN_DWORD w, TVN_DWORD h, unsigned k) {
    std::vector<TVN_DWORD> out(static_cast<std::size_t>(w + 2 * k) * (h + 2 * k), 0xDEADBEEFu);
    tvn2PassBlur(const_cast<TVN_DWORD*>(px.data()), out.data(), w, h, &k);
    out.resize(static_cast<std::size_t>(w + 2 * k) * (h + 2 * k));
    return out;
}

TEST(ResampleFast, EveryBlurPathMatchesTheReference) {
    struct Case {
        TVN_DWORD w, h;
        unsigned k;
    } cases[] = {{40, 33, 1}, {37, 16, 5}, {16, 40, 20}, {64, 17, 3}, {200, 31, 127},
                 {300, 20, 128}, {5, 70, 2}, {70, 5, 2}, {33, 33, 40}};
    for (const Case& c : cases) {
        std::vector<TVN_DWORD> px = randomPixels(c.w, c.h, c.k + 7);
        auto expected = onReference([&] { return blurred(px, c.w, c.h, c.k); });
        forEachLevel([&](tvn::pixel::cpu::Level) {
            ASSERT_EQ(blurred(px, c.w, c.h, c.k), expected) << c.w << "x" << c.h << " k " << c.k;
        });
    }
}

// The multiplier of a weight reproduces the truncated double product for every
// channel value; weights that have none are reported, never approximated.
TEST(ResampleFast, MultipliersAreExactForEveryChannelValue) {
    std::mt19937_64 rng(3);
    std::vector<double> weights = {1.0, 0.5, 0.99999, 0.00001, 1.0 / 3, 2.0 / 3, 0.25, 1.0 / 255, 0.4999999999999999,
                                   std::nextafter(1.0, 0.0), -1e-17, 0.0};
    for (int i = 0; i < 20000; ++i) weights.push_back(std::uniform_real_distribution<double>(0.0, 1.0)(rng));
    for (int q = 1; q <= 255; ++q)
        for (int p = 0; p <= q; ++p) {
            weights.push_back(double(p) / q);
            weights.push_back(std::nextafter(double(p) / q, 0.0));
        }
    forEachLevel([&](tvn::pixel::cpu::Level) {
        int none = 0;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            const double v = weights[i];
            std::uint32_t m = 0;
            tvn::resample::WeightClass kind = tvn::resample::classifyWeight(v, &m);
            if (kind == tvn::resample::kWeightNone) {
                none += i < 20012;
                continue;
            }
            for (int c = 0; c < 256; ++c)
                ASSERT_EQ(static_cast<int>((static_cast<std::uint32_t>(c) * m) >> 16), static_cast<int>(c * v))
                    << v << " c " << c;
            EXPECT_EQ(kind == tvn::resample::kWeightIdentity, m == 65536u);
        }
        // Nearly every ordinary weight has one; the rest take the double path. (Just
        // below a fraction p/q the rounded product can reach p, and often none fits.)
        EXPECT_LT(none, 200);
    });
}

// Tables with weights that have no exact multiplier, weight 1 alone and beside
// another weight, negative and zero weights: both vector passes give what the
// pixel rule gives.
TEST(ResampleFast, HandMadeTablesWithEveryKindOfSpan) {
    // Just below some fraction p/q: a weight with no exact multiplier.
    double below = 0.0;
    std::uint32_t m = 0;
    for (int q = 2; q < 256 && below == 0.0; ++q)
        for (int p = 1; p < q && below == 0.0; ++p)
            if (tvn::resample::classifyWeight(std::nextafter(double(p) / q, 0.0), &m) == tvn::resample::kWeightNone)
                below = std::nextafter(double(p) / q, 0.0);
    ASSERT_GT(below, 0.0);
    const std::vector<std::vector<double>> spans = {
        {below, below, below}, {1.0}, {0.0, 1.0, 0.0}, {1.0, 0.5}, {-0.5, 1.0}, {0.25, 0.25, 0.5},
        {0.0, 0.0, 0.0},       {0.5, below}, {1e-9, 0.999999999}, {-1e-17, 1.0}};
    const TVN_DWORD n = static_cast<TVN_DWORD>(spans.size()), srcLen = 24;
    std::vector<tvn::resample::WEIGHT_SPAN> ws(n);
    std::vector<std::vector<double>> storage = spans;
    for (TVN_DWORD i = 0; i < n; ++i) {
        ws[i].pWeights = storage[i].data();
        ws[i].nFirst = (i * 5) % (srcLen - 4);
        ws[i].nLast = ws[i].nFirst + static_cast<TVN_DWORD>(spans[i].size()) - 1;
    }
    tvn::resample::WEIGHT_TABLE table = {ws.data(), 4, n};
    const std::vector<TVN_DWORD> src = randomPixels(srcLen, 40, 9);
    std::vector<TVN_DWORD> rows(n * 40), cols(40 * n);
    for (TVN_DWORD y = 0; y < 40; ++y)
        for (TVN_DWORD x = 0; x < n; ++x) rows[y * n + x] = tvn::resample::applySpan(src.data() + y * srcLen, 1, ws[x]);
    const std::vector<TVN_DWORD> tall = randomPixels(40, srcLen, 10);
    for (TVN_DWORD y = 0; y < n; ++y)
        for (TVN_DWORD x = 0; x < 40; ++x) cols[y * 40 + x] = tvn::resample::applySpan(tall.data() + x, 40, ws[y]);
    tvn::resample::ScalePlan plan;
    ASSERT_TRUE(tvn::resample::buildPlan(table, 64, &plan));
    std::vector<int> kinds;
    for (TVN_DWORD i = 0; i < n; ++i) kinds.push_back(static_cast<int>(plan.spans[i].kind));
    tvn::resample::releasePlan(&plan);
    EXPECT_EQ(kinds, (std::vector<int>{2, 1, 1, 2, 2, 0, 0, 2, 0, 1}));
    const tvn::resample::ScalerProgress quiet = {nullptr, nullptr};
    forEachLevel([&](tvn::pixel::cpu::Level) {
        const bool vector = tvn::resample::simd::select() != nullptr;
        std::vector<TVN_DWORD> out(n * 40), none(n * 40);
        EXPECT_EQ(tvn::resample::fastHorizontal(src.data(), out.data(), srcLen, n, 40, table, quiet),
                  vector ? tvn::resample::kPassDone : tvn::resample::kPassReference);
        EXPECT_EQ(out, vector ? rows : none);
        out.assign(n * 40, 0);
        EXPECT_EQ(tvn::resample::fastVertical(tall.data(), out.data(), 40, srcLen, n, table, quiet),
                  vector ? tvn::resample::kPassDone : tvn::resample::kPassReference);
        EXPECT_EQ(out, vector ? cols : none);
    });
}

} // namespace
