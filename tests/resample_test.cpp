// Resizing: the kernels and weight tables on hand-worked values, the worked
// pictures, resizing from the untouched copy, the exact progress sequence,
// aborts and allocation failures that leave the image as it was, and the
// nearest-pixel resize.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "image/image_access.h"
#include "pixel/heap.h"
#include "resample/two_pass_scaler.h"
#include "support/helpers.h"

namespace {

using tvn::ImageAccess;
using tvntest::pixelsOf;
using tvntest::randomPixels;

TVN_DWORD grey(unsigned v) {
    return v | v << 8 | v << 16 | v << 24;
}

TEST(Kernels, ValuesAtTheWorkedDistances) {
    struct Case {
        const FilterKernel& kernel;
        double x, value;
    };
    const BoxKernel box;
    const BilinearKernel bilinear;
    const BicubicKernel bicubic;
    const GaussianKernel gaussian;
    const HammingKernel hamming;
    const BlackmanKernel blackman;
    const Case cases[] = {
        {box, 0.5, 1.0},           {box, -0.5, 1.0},          {box, 0.50001, 0.0},        {bilinear, 0, 1.0},
        {bilinear, 0.25, 0.75},    {bilinear, -1.0, 0.0},     {bicubic, 0.25, 0.875},     {bicubic, 0.5, 0.0},
        {gaussian, 0, 0.398942},   {gaussian, 3.0, 0.004432}, {gaussian, -3.0001, 0.0},   {hamming, 0, 1.0},
        {hamming, 0.25, 0.54},     {hamming, 0.5, 0.08},      {hamming, 0.6, 0.0},        {blackman, 0, 1.0},
        {blackman, -0.25, 0.34},   {blackman, 0.5, 0.0},      {blackman, 0.500001, 0.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(c.kernel.evaluate(c.x), c.value, 1e-6) << c.x;
}

// Taps of the table for src -> dst; every span stays inside the source, within
// the tap count, and sums to 1 unless it is empty.
template <class Kernel>
TVN_DWORD tapsFor(unsigned src, unsigned dst) {
    TwoPassScaler<Kernel> scaler(nullptr, nullptr);
    tvn::WEIGHT_TABLE* t = scaler.buildWeights(src, dst);
    TVN_DWORD taps = t->nMaxTaps;
    for (TVN_DWORD i = 0; i < t->nCount; ++i) {
        const tvn::WEIGHT_SPAN& s = t->pSpans[i];
        EXPECT_LE(s.nLast - s.nFirst + 1, taps);
        EXPECT_LT(s.nLast, src);
        double sum = 0;
        for (TVN_DWORD j = 0; j <= s.nLast - s.nFirst; ++j) sum += s.pWeights[j];
        if (sum != 0.0) {
            EXPECT_NEAR(sum, 1.0, 1e-12);
        }
    }
    scaler.releaseWeights(t);
    return taps;
}

TEST(WeightTables, TapCounts) {
    EXPECT_EQ(tapsFor<GaussianKernel>(10, 20), 7u);
    EXPECT_EQ(tapsFor<GaussianKernel>(20, 10), 13u);
    EXPECT_EQ(tapsFor<BoxKernel>(10, 20), 3u);
    EXPECT_EQ(tapsFor<BoxKernel>(20, 10), 3u);
    EXPECT_EQ(tapsFor<BicubicKernel>(20, 10), 3u);
    EXPECT_EQ(tapsFor<HammingKernel>(10, 20), 3u);
    EXPECT_EQ(tapsFor<BlackmanKernel>(20, 10), 3u);
    EXPECT_EQ(tapsFor<BilinearKernel>(10, 20), 3u);
    EXPECT_EQ(tapsFor<BilinearKernel>(20, 10), 5u);
}

std::vector<TVN_DWORD> resize(std::vector<TVN_DWORD> px, TVN_DWORD w, TVN_DWORD h, TVN_DWORD nw, TVN_DWORD nh,
                              int filter) {
    CRGBAImage image(px.data(), w, h);
    EXPECT_EQ(image.setSize(nw, nh, filter, nullptr, nullptr), 1);
    EXPECT_EQ(image.getWidth(), nw);
    EXPECT_EQ(image.getHeight(), nh);
    return pixelsOf(image);
}

TEST(Resize, WorkedRowsAndSameSize) {
    const std::vector<TVN_DWORD> two(2, grey(255)), four(4, grey(255));
    for (int f : {1, 3, 5, 6})
        EXPECT_EQ(resize(two, 2, 1, 4, 1, f), (std::vector<TVN_DWORD>{grey(255), grey(255), grey(255), 0})) << f;
    EXPECT_EQ(resize(two, 2, 1, 4, 1, 2), (std::vector<TVN_DWORD>{grey(254), grey(254), grey(255), grey(255)}));
    EXPECT_EQ(resize(two, 2, 1, 4, 1, 4), std::vector<TVN_DWORD>(4, grey(254)));
    EXPECT_EQ(resize(four, 4, 1, 2, 1, 1), std::vector<TVN_DWORD>(2, grey(254)));
    const std::vector<TVN_DWORD> px = randomPixels(7, 5, 1);
    EXPECT_EQ(resize(px, 7, 5, 7, 5, CRGBAImage::BoxFilter), px);
    // Bilinear: weights 0.99999 and 0.00001 take one unit off per pass but in the last sample.
    std::vector<TVN_DWORD> out = resize(std::vector<TVN_DWORD>(12, grey(100)), 4, 3, 4, 3, 2);
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
        EXPECT_EQ(resize(rotate(px), 23, 19, 31, 11, f), rotate(resize(px, 23, 19, 31, 11, f))) << f;
}

TEST(Resize, AlwaysFromTheUntouchedCopy) {
    const std::vector<TVN_DWORD> px = randomPixels(9, 7, 3);
    for (int f = 1; f <= 6; ++f) {
        CRGBAImage image(px.data(), 9, 7);
        ASSERT_EQ(image.setSize(4, 3, f, nullptr, nullptr), 1);
        ASSERT_EQ(image.setSizeRough(2, 2), 1);
        ASSERT_EQ(image.setSize(13, 5, f, nullptr, nullptr), 1);
        EXPECT_EQ(pixelsOf(image), resize(px, 9, 7, 13, 5, f)) << f;
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

struct Recorder {
    std::vector<int> calls;
    int abortAt = -1; // index of the call that returns 0
    static int TVN_CDECL proc(unsigned char percent, void* user) {
        Recorder* r = static_cast<Recorder*>(user);
        r->calls.push_back(percent);
        return static_cast<int>(r->calls.size()) - 1 != r->abortAt;
    }
};

TEST(Progress, OneCallPerSourceRowThenPerDestinationColumn) {
    for (auto size : {std::make_pair(7u, 19u), std::make_pair(40u, 3u), std::make_pair(70u, 45u)}) {
        CRGBAImage image(randomPixels(23, 37, 5).data(), 23, 37);
        Recorder r;
        ASSERT_EQ(image.setSize(size.first, size.second, 4, Recorder::proc, &r), 1);
        std::vector<int> expected;
        for (unsigned y = 0; y < 37; ++y) expected.push_back(static_cast<int>(y / 37.0 * 50.0));
        for (unsigned x = 0; x < size.first; ++x) expected.push_back(static_cast<int>(x / double(size.first) * 50.0 + 50.0));
        EXPECT_EQ(r.calls, expected);
        EXPECT_EQ(r.calls.front(), 0);
        EXPECT_LT(r.calls.back(), 100);
    }
}

// An abort at any call stops at once: the callback is not called again and the
// image is byte for byte what it was (the untouched copy made on the way stays).
TEST(Progress, AbortAtEveryCallLeavesTheImageAsItWas) {
    const TVN_DWORD w = 21, h = 18, nw = 35, nh = 12;
    CRGBAImage image(randomPixels(w, h, 6).data(), w, h);
    ASSERT_EQ(image.setSize(17, 16, 3, nullptr, nullptr), 1);
    const std::vector<TVN_DWORD> before = pixelsOf(image);
    for (int at = 0; at < static_cast<int>(h + nw); ++at) {
        Recorder r;
        r.abortAt = at;
        EXPECT_EQ(image.setSize(nw, nh, 2, Recorder::proc, &r), 0);
        EXPECT_EQ(static_cast<int>(r.calls.size()), at + 1);
        EXPECT_EQ(image.getWidth(), 17u);
        EXPECT_EQ(image.getHeight(), 16u);
        EXPECT_EQ(pixelsOf(image), before) << at;
    }
    Recorder r;
    r.abortAt = static_cast<int>(h + nw);
    EXPECT_EQ(image.setSize(nw, nh, 2, Recorder::proc, &r), 1);
}

// Every allocation of one setSize may fail, with and without a blur to rebuild:
// the image is then exactly as before, or, where only a vector path's scratch
// was refused and the reference took over, exactly the full resize.
TEST(Resize, AllocationFailuresLeaveTheImageAsItWas) {
    const std::vector<TVN_DWORD> px = randomPixels(19, 17, 7);
    for (unsigned k : {0u, 2u}) {
        auto start = [&] {
            std::unique_ptr<CRGBAImage> image(new CRGBAImage(px.data(), 19, 17));
            unsigned kk = k;
            if (k) image->blur(&kk);
            return image;
        };
        auto good = start();
        ASSERT_EQ(good->setSize(33, 20, 6, nullptr, nullptr), 1);
        const std::vector<TVN_DWORD> success = pixelsOf(*good);
        for (unsigned long n = 1;; ++n) {
            auto image = start();
            const std::vector<TVN_DWORD> before = pixelsOf(*image);
            tvn::testing::failAllocation(n);
            const int result = image->setSize(33, 20, 6, nullptr, nullptr);
            const bool reached = tvn::testing::allocationCount() >= n;
            tvn::testing::failAllocation(0);
            EXPECT_EQ(pixelsOf(*image), result ? success : before) << k << " " << n;
            EXPECT_EQ(image->getWidth(), result ? 33u : 19u + 2 * k);
            EXPECT_EQ(image->getBlurKrnlSize(), k);
            if (!reached) {
                EXPECT_EQ(result, 1);
                break;
            }
            if (!k) {
                EXPECT_EQ(result, 0) << n;
            }
        }
    }
}

TEST(Rough, TruncatingNearestPixel) {
    const std::vector<TVN_DWORD> row = {1, 2, 3};
    CRGBAImage image(row.data(), 3, 1);
    ASSERT_EQ(image.setSizeRough(6, 2), 1);
    EXPECT_EQ(pixelsOf(image), (std::vector<TVN_DWORD>{1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3}));
    ASSERT_EQ(image.setSizeRough(2, 1), 1);
    EXPECT_EQ(pixelsOf(image), (std::vector<TVN_DWORD>{1, 2}));
    // Back to the loaded size: the untouched picture, without any blur it carried.
    const std::vector<TVN_DWORD> px = randomPixels(11, 6, 8);
    CRGBAImage blurred(px.data(), 11, 6);
    unsigned k = 2;
    blurred.blur(&k);
    ASSERT_EQ(blurred.setSizeRough(11, 6), 1);
    EXPECT_EQ(pixelsOf(blurred), px);
    EXPECT_EQ(blurred.getBlurKrnlSize(), 2u);
}

} // namespace
