// Resizing: the weight tables' spans, the worked pictures, resizing from the
// untouched copy, refusals that leave the image as it was, the first resize
// aborted, and the nearest-pixel resize; the box blur: the worked 3x3 example,
// the border geometry and the reduction of k, the image's public and private
// blur and their interplay with setSize; every vector path of the scaler and
// the blur against the scalar reference, and the exact multipliers they rest on.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "image/image_access.h"
#include "resample/passes.h"
#include "resample/plan.h"
#include "resample/simd.h"
#include "resample/two_pass_scaler.h"
#include "support/helpers.h"
#include "support/levels.h"

using namespace tvn::resample;

namespace {

using tvn::ImageAccess;
using tvntest::forEachLevel;
using tvntest::onReference;
using tvntest::pixelsOf;
using tvntest::randomPixels;
using tvntest::resized;

TVN_DWORD grey(unsigned v) {
    return v | v << 8 | v << 16 | v << 24;
}

// Every span of every kernel's table stays inside the source, within the tap
// count, and sums to 1 unless it is empty.
template <class Kernel>
void checkWeights() {
    for (auto size : {std::make_pair(10u, 20u), std::make_pair(20u, 10u), std::make_pair(7u, 3u)}) {
        TwoPassScaler<Kernel> scaler(nullptr, nullptr);
        tvn::resample::WEIGHT_TABLE* t = scaler.buildWeights(size.first, size.second);
        for (TVN_DWORD i = 0; i < t->nCount; ++i) {
            const WEIGHT_SPAN& s = t->pSpans[i];
            double sum = 0;
            for (TVN_DWORD j = 0; j <= s.nLast - s.nFirst; ++j) sum += s.pWeights[j];
            EXPECT_TRUE(s.nLast - s.nFirst < t->nMaxTaps && s.nLast < size.first) << i;
            EXPECT_TRUE(sum == 0.0 || std::fabs(sum - 1.0) < 1e-12) << sum;
        }
        scaler.releaseWeights(t);
    }
}

TEST(WeightTables, SpansInsideTheSourceSummingToOne) {
    checkWeights<BoxKernel>();
    checkWeights<BilinearKernel>();
    checkWeights<BicubicKernel>();
    checkWeights<GaussianKernel>();
    checkWeights<HammingKernel>();
    checkWeights<BlackmanKernel>();
}

TEST(Resize, WorkedRowsAndSameSize) {
    const std::vector<TVN_DWORD> two(2, grey(255)), four(4, grey(255));
    for (int f : {1, 3, 5, 6})
        EXPECT_EQ(resized(two, 2, 1, 4, 1, f), (std::vector<TVN_DWORD>{grey(255), grey(255), grey(255), 0})) << f;
    EXPECT_EQ(resized(two, 2, 1, 4, 1, 2), (std::vector<TVN_DWORD>{grey(254), grey(254), grey(255), grey(255)}));
    EXPECT_EQ(resized(two, 2, 1, 4, 1, 4), std::vector<TVN_DWORD>(4, grey(254)));
    EXPECT_EQ(resized(four, 4, 1, 2, 1, 1), std::vector<TVN_DWORD>(2, grey(254)));
    const std::vector<TVN_DWORD> px = randomPixels(7, 5, 1);
    EXPECT_EQ(resized(px, 7, 5, 7, 5, CRGBAImage::BoxFilter), px);
    // Bilinear: weights 0.99999 and 0.00001 take one unit off per pass but in the last sample.
    std::vector<TVN_DWORD> out = resized(std::vector<TVN_DWORD>(12, grey(100)), 4, 3, 4, 3, 2);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(out[y * 4 + x], grey(100 - (x < 3) - (y < 2))) << x << "," << y;
}

// The four channels are filtered alike and independently: rotating the channels
// of the input rotates those of the output.
TEST(Resize, ChannelsAreIndependent) {
    const std::vector<TVN_DWORD> px = randomPixels(23, 19, 2, true);
    auto rotate = [](std::vector<TVN_DWORD> v) {
        for (TVN_DWORD& p : v) p = p << 8 | p >> 24;
        return v;
    };
    for (int f = 1; f <= 6; ++f)
        EXPECT_EQ(resized(rotate(px), 23, 19, 31, 11, f), rotate(resized(px, 23, 19, 31, 11, f))) << f;
}

TEST(Resize, AlwaysFromTheUntouchedCopy) {
    const std::vector<TVN_DWORD> px = randomPixels(9, 7, 3);
    for (int f = 1; f <= 6; ++f) {
        CRGBAImage image(px.data(), 9, 7);
        ASSERT_EQ(image.setSize(4, 3, f, nullptr, nullptr), 1);
        ASSERT_EQ(image.setSizeRough(2, 2), 1);
        ASSERT_EQ(image.setSize(13, 5, f, nullptr, nullptr), 1);
        EXPECT_EQ(pixelsOf(image), resized(px, 9, 7, 13, 5, f)) << f;
        EXPECT_EQ(image.getWidthOrig(), 9u);
        EXPECT_EQ(std::vector<TVN_DWORD>(ImageAccess::origBuffer(image), ImageAccess::origBuffer(image) + 63), px);
    }
}

TEST(Resize, RefusalsChangeNothing) {
    CRGBAImage empty;
    EXPECT_EQ(empty.setSize(4, 4, 1, nullptr, nullptr), 0);
    EXPECT_EQ(empty.setSizeRough(4, 4), 0);
    const std::vector<TVN_DWORD> px = randomPixels(5, 4, 4);
    CRGBAImage image(px.data(), 5, 4);
    for (int f : {0, 7, -1}) EXPECT_EQ(image.setSize(3, 3, f, nullptr, nullptr), 0);
    // By design an empty size is refused too.
    EXPECT_EQ(image.setSize(0, 3, 1, nullptr, nullptr), 0);
    EXPECT_EQ(image.setSize(3, 0, 2, nullptr, nullptr), 0);
    EXPECT_EQ(image.setSizeRough(0, 3), 0);
    EXPECT_EQ(ImageAccess::origBuffer(image), nullptr);
    EXPECT_EQ(pixelsOf(image), px);
    // A rebuild at the loaded size keeps the Box picture but creates the copy.
    EXPECT_EQ(image.setSize(5, 4, CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_NE(ImageAccess::origBuffer(image), nullptr);
    EXPECT_EQ(pixelsOf(image), px);
}

// The first resize reads the loaded picture in place: aborted, it still leaves
// that picture behind as the untouched copy, which a stretch then refuses to
// bypass; done, it keeps it as the copy. (The exact progress sequence and an
// abort anywhere, at every worker count: worker_pool_test.)
TEST(Progress, TheFirstResizeKeepsTheLoadedPictureAsTheUntouchedCopy) {
    const std::vector<TVN_DWORD> loaded = randomPixels(21, 18, 6);
    CRGBAImage aborted(loaded.data(), 21, 18), image(loaded.data(), 21, 18);
    auto rowsOnly = [](unsigned char percent, void*) { return percent < 50 ? 1 : 0; }; // stops at the first column
    EXPECT_EQ(aborted.setSize(35, 12, 2, rowsOnly, nullptr), 0);
    aborted.stretchHorizontally(26);
    EXPECT_EQ(pixelsOf(aborted), loaded);
    ASSERT_EQ(image.setSize(17, 16, 3, nullptr, nullptr), 1);
    ASSERT_EQ(image.setSizeRough(21, 18), 1);
    EXPECT_EQ(pixelsOf(image), loaded);
}

TEST(Rough, TruncatingNearestPixel) {
    const std::vector<TVN_DWORD> row = {1, 2, 3};
    CRGBAImage image(row.data(), 3, 1);
    ASSERT_EQ(image.setSizeRough(6, 2), 1);
    EXPECT_EQ(pixelsOf(image), (std::vector<TVN_DWORD>{1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3}));
    ASSERT_EQ(image.setSizeRough(2, 1), 1);
    EXPECT_EQ(pixelsOf(image), (std::vector<TVN_DWORD>{1, 2}));
}

std::vector<TVN_DWORD> blurred(const std::vector<TVN_DWORD>& px, TVN_DWORD w, TVN_DWORD h, unsigned* k) {
    const unsigned k0 = *k;
    std::vector<TVN_DWORD> out(static_cast<std::size_t>(w + 2 * k0) * (h + 2 * k0), 0xDEADBEEFu);
    tvn2PassBlur(const_cast<TVN_DWORD*>(px.data()), out.data(), w, h, k);
    out.resize(static_cast<std::size_t>(w + 2 * *k) * (h + 2 * *k));
    return out;
}

TEST(Blur, WhiteSquareWithKernelOne) {
    std::vector<TVN_DWORD> white(9, 0xFFFFFFFFu);
    unsigned k = 1;
    std::vector<TVN_DWORD> out = blurred(white, 3, 3, &k);
    const int expected[5][5] = {{28, 56, 85, 56, 28},
                                {56, 113, 170, 113, 56},
                                {85, 170, 255, 170, 85},
                                {56, 113, 170, 113, 56},
                                {28, 56, 85, 56, 28}};
    ASSERT_EQ(out.size(), 25u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const unsigned v = static_cast<unsigned>(expected[y][x]);
            EXPECT_EQ(out[y * 5 + x], v | v << 8 | v << 16 | v << 24) << x << "," << y;
        }
}

TEST(Blur, KernelIsLimitedByTheWidthOnly) {
    struct Case {
        TVN_DWORD w, h;
        unsigned k, used;
    } cases[] = {{1, 5, 3, 0}, {4, 2, 9, 3}, {10, 2, 6, 6}, {3, 1, 2, 2}};
    for (const Case& c : cases) {
        std::vector<TVN_DWORD> px = randomPixels(c.w, c.h, c.k);
        unsigned k = c.k;
        std::vector<TVN_DWORD> out = blurred(px, c.w, c.h, &k);
        EXPECT_EQ(k, c.used);
        if (c.used == 0) {
            EXPECT_EQ(out, px); // one pixel wide: a plain copy
        }
    }
    // Nothing at all for null pointers, a zero kernel or a zero width.
    std::vector<TVN_DWORD> px(4, 1), dst(64, 7);
    unsigned zero = 0, two = 2;
    tvn2PassBlur(px.data(), dst.data(), 2, 2, &zero);
    tvn2PassBlur(nullptr, dst.data(), 2, 2, &two);
    tvn2PassBlur(px.data(), dst.data(), 0, 2, &two);
    tvn2PassBlur(px.data(), dst.data(), 2, 2, nullptr);
    EXPECT_EQ(dst, std::vector<TVN_DWORD>(64, 7));
    EXPECT_EQ(two, 2u);
}

// The image's blur grows it by the border and records k; a blur of 0 only
// rebuilds; a second blur stacks and records only its own k; setSize resamples
// the untouched copy to the size less the border and blurs back; the untouched
// copy never carries a blur, also when it is taken by a blur without a rebuild.
TEST(Blur, ImageBlurAndItsRebuilds) {
    const std::vector<TVN_DWORD> px = randomPixels(10, 8, 1);
    CRGBAImage image(px.data(), 10, 8), plain(px.data(), 10, 8), unrebuilt(px.data(), 10, 8);
    unsigned k = 2, zero = 0, one = 1, again = 1;
    image.blur(&k);
    EXPECT_EQ(image.getWidth() * 100 + image.getHeight(), 1412u);
    EXPECT_EQ(image.getBlurKrnlSize(), 2u);
    const std::vector<TVN_DWORD> before = pixelsOf(image);
    image.blur(&zero); // rebuild at 14 x 12 with the blur of 2: the same picture
    EXPECT_EQ(image.getBlurKrnlSize(), 2u);
    EXPECT_EQ(pixelsOf(image), before);
    image.blur(&one);
    EXPECT_EQ(image.getWidth() * 100 + image.getHeight(), 1614u);
    EXPECT_EQ(image.getBlurKrnlSize(), 1u);
    EXPECT_EQ(pixelsOf(image), blurred(before, 14, 12, &again));
    ASSERT_EQ(image.setSize(30, 20, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    ASSERT_EQ(plain.setSize(28, 18, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    EXPECT_EQ(image.getWidth() * 100 + image.getHeight(), 3020u);
    EXPECT_EQ(image.getBlurKrnlSize(), 1u);
    EXPECT_EQ(pixelsOf(image), blurred(pixelsOf(plain), 28, 18, &again));
    ImageAccess::blur(unrebuilt, &(k = 2), 0);
    EXPECT_EQ(unrebuilt.getWidth(), 14u);
    for (CRGBAImage* i : {&image, &unrebuilt}) {
        ASSERT_EQ(i->setSizeRough(10, 8), 1); // the untouched picture, without the blur it carried
        EXPECT_EQ(pixelsOf(*i), px);
    }
}

TEST(Blur, SetSizeReducesTheKernelOfANarrowPicture) {
    CRGBAImage image(randomPixels(10, 8, 3).data(), 10, 8);
    ImageAccess::blurSize(image) = 4;
    ASSERT_EQ(image.setSize(10, 80, CRGBAImage::BoxFilter, nullptr, nullptr), 1); // 2 x 72 inside
    EXPECT_EQ(tvntest::sizesOf(image), (std::vector<TVN_DWORD>{4, 74, 10, 8}));
    EXPECT_EQ(image.getBlurKrnlSize(), 1u);
    ImageAccess::blurSize(image) = 2;
    ASSERT_EQ(image.setSize(100, 80, CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_EQ(tvntest::sizesOf(image), (std::vector<TVN_DWORD>{100, 80, 10, 8}));
    EXPECT_EQ(image.getBlurKrnlSize(), 2u);
    // No room inside the border: refused, nothing changes.
    const std::vector<TVN_DWORD> before = pixelsOf(image);
    EXPECT_EQ(image.setSize(4, 80, CRGBAImage::BoxFilter, nullptr, nullptr), 0);
    EXPECT_EQ(image.setSize(50, 3, CRGBAImage::BoxFilter, nullptr, nullptr), 0);
    EXPECT_EQ(image.getWidth(), 100u);
    EXPECT_EQ(pixelsOf(image), before);
}

struct Size {
    TVN_DWORD w, h, nw, nh;
    bool photo; // smooth pictures, where long runs of equal samples meet the identity spans
};

TEST(VectorPaths, EveryVectorPathMatchesTheReference) {
    // Shrinking by 4, 3, 2, 1.5 and 1.1, the same size, enlarging by 1.3, 2 and 3.7,
    // one axis each way, from and to one pixel, one block and a column over, primes.
    const Size sizes[] = {{96, 64, 24, 16, false},  {93, 61, 31, 20, false},   {80, 48, 40, 24, false},
                          {75, 45, 50, 30, false},  {77, 55, 70, 50, false},   {53, 37, 53, 37, false},
                          {40, 30, 52, 39, false},  {33, 17, 66, 34, false},   {20, 18, 74, 67, false},
                          {64, 20, 17, 71, false},  {1, 1, 19, 23, false},     {41, 29, 1, 1, false},
                          {17, 16, 16, 17, false},  {101, 103, 107, 97, false}, {240, 160, 60, 40, true},
                          {240, 160, 481, 319, true}, {240, 160, 160, 90, true}};
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

TEST(VectorPaths, EveryBlurPathMatchesTheReference) {
    struct Case {
        TVN_DWORD w, h;
        unsigned k;
    } cases[] = {{40, 33, 1}, {37, 16, 5}, {16, 40, 20}, {64, 17, 3}, {200, 31, 127},
                 {300, 20, 128}, {5, 70, 2}, {70, 5, 2}, {33, 33, 40}, {1030, 17, 5}};
    for (const Case& c : cases) {
        std::vector<TVN_DWORD> px = randomPixels(c.w, c.h, c.k + 7);
        unsigned k = c.k;
        auto expected = onReference([&] { return blurred(px, c.w, c.h, &k); });
        forEachLevel([&](tvn::pixel::cpu::Level) {
            ASSERT_EQ(blurred(px, c.w, c.h, &(k = c.k)), expected) << c.w << "x" << c.h << " k " << c.k;
        });
    }
}

// The multiplier of a weight reproduces the truncated double product for every
// channel value; weights that have none are reported, never approximated.
TEST(VectorPaths, MultipliersAreExactForEveryChannelValue) {
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
TEST(VectorPaths, HandMadeTablesWithEveryKindOfSpan) {
    // Just below some fraction p/q: a weight with no exact multiplier.
    double below = 0.0;
    std::uint32_t m = 0;
    for (int q = 2; q < 256 && below == 0.0; ++q)
        for (int p = 1; p < q && below == 0.0; ++p)
            if (tvn::resample::classifyWeight(std::nextafter(double(p) / q, 0.0), &m) == tvn::resample::kWeightNone)
                below = std::nextafter(double(p) / q, 0.0);
    ASSERT_GT(below, 0.0);
    std::vector<std::vector<double>> spans = {
        {below, below, below}, {1.0}, {0.0, 1.0, 0.0}, {1.0, 0.5}, {-0.5, 1.0}, {0.25, 0.25, 0.5},
        {0.0, 0.0, 0.0},       {0.5, below}, {1e-9, 0.999999999}, {-1e-17, 1.0}};
    const TVN_DWORD n = static_cast<TVN_DWORD>(spans.size()), srcLen = 24;
    std::vector<tvn::resample::WEIGHT_SPAN> ws(n);
    for (TVN_DWORD i = 0; i < n; ++i) {
        ws[i].pWeights = spans[i].data();
        ws[i].nFirst = (i * 5) % (srcLen - 4);
        ws[i].nLast = ws[i].nFirst + static_cast<TVN_DWORD>(spans[i].size()) - 1;
    }
    tvn::resample::WEIGHT_TABLE table = {ws.data(), 4, n};
    const std::vector<TVN_DWORD> src = randomPixels(srcLen, 40, 9), tall = randomPixels(40, srcLen, 10);
    std::vector<TVN_DWORD> rows(n * 40), cols(40 * n);
    for (TVN_DWORD i = 0; i < n; ++i)
        for (TVN_DWORD j = 0; j < 40; ++j) {
            rows[j * n + i] = tvn::resample::applySpan(src.data() + j * srcLen, 1, ws[i]);
            cols[i * 40 + j] = tvn::resample::applySpan(tall.data() + j, 40, ws[i]);
        }
    tvn::resample::ScalePlan plan;
    ASSERT_TRUE(tvn::resample::buildPlan(table, 64, &plan));
    std::vector<int> kinds;
    for (TVN_DWORD i = 0; i < n; ++i) kinds.push_back(static_cast<int>(plan.spans[i].kind));
    tvn::resample::releasePlan(&plan);
    EXPECT_EQ(kinds, (std::vector<int>{2, 1, 1, 2, 2, 0, 0, 2, 0, 1}));
    const ScalerProgress quiet = {nullptr, nullptr};
    forEachLevel([&](tvn::pixel::cpu::Level) {
        std::vector<TVN_DWORD> out(n * 40);
        EXPECT_TRUE(tvn::resample::horizontalPass(src.data(), out.data(), srcLen, n, 40, table, quiet));
        EXPECT_EQ(out, rows);
        out.assign(n * 40, 0);
        EXPECT_TRUE(tvn::resample::verticalPass(tall.data(), out.data(), 40, srcLen, n, table, quiet));
        EXPECT_EQ(out, cols);
    });
}

} // namespace
