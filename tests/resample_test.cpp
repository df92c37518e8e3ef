// Resizing: the kernels and weight tables on hand-worked values, the worked
// pictures, resizing from the untouched copy, the exact progress sequence,
// aborts and allocation failures that leave the image as it was, and the
// nearest-pixel resize; the box blur: the worked 3x3 example, the border
// geometry and the reduction of k, the image's public and private blur and
// their interplay with setSize. (The vector paths are proven in
// resample_fast_test.)
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
using namespace tvn::resample;
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
    tvn::resample::WEIGHT_TABLE* t = scaler.buildWeights(src, dst);
    TVN_DWORD taps = t->nMaxTaps;
    for (TVN_DWORD i = 0; i < t->nCount; ++i) {
        const tvn::resample::WEIGHT_SPAN& s = t->pSpans[i];
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
            tvn::pixel::testing::failAllocation(n);
            const int result = image->setSize(33, 20, 6, nullptr, nullptr);
            const bool reached = tvn::pixel::testing::allocationCount() >= n;
            tvn::pixel::testing::failAllocation(0);
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

// A single opaque pixel spreads into a (2k+1)^2 square centred where it was, and
// each channel moves on its own.
TEST(Blur, ImpulseLandsInTheBorderedSquareChannelByChannel) {
    const TVN_DWORD w = 9, h = 7;
    std::vector<TVN_DWORD> px(w * h, 0);
    px[3 * w + 2] = tvnRGBA(255, 0, 90, 180);
    unsigned k = 2;
    std::vector<TVN_DWORD> out = blurred(px, w, h, &k);
    const TVN_DWORD W = w + 4;
    for (TVN_DWORD y = 0; y < h + 4; ++y)
        for (TVN_DWORD x = 0; x < W; ++x) {
            const bool inside = x >= 2 && x <= 6 && y >= 3 && y <= 7; // centred on (2 + k, 3 + k)
            // 255 / 5 = 51 per row, then 51 / 5 = 10; 90 -> 18 -> 3; 180 -> 36 -> 7
            EXPECT_EQ(out[y * W + x], inside ? tvnRGBA(10, 0, 3, 7) : 0u) << x << "," << y;
        }
}

TEST(Blur, ImageBlurGrowsByTheBorderAndRecordsTheKernel) {
    CRGBAImage image(randomPixels(10, 8, 1).data(), 10, 8);
    unsigned k = 2;
    image.blur(&k);
    EXPECT_EQ(image.getWidth(), 14u);
    EXPECT_EQ(image.getHeight(), 12u);
    EXPECT_EQ(image.getBlurKrnlSize(), 2u);
    // setSize keeps the blur: resample to the size less the border, blur back.
    ASSERT_EQ(image.setSize(30, 20, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    EXPECT_EQ(image.getWidth(), 30u);
    EXPECT_EQ(image.getHeight(), 20u);
    EXPECT_EQ(image.getBlurKrnlSize(), 2u);
    CRGBAImage plain(randomPixels(10, 8, 1).data(), 10, 8);
    ASSERT_EQ(plain.setSize(26, 16, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    unsigned again = 2;
    std::vector<TVN_DWORD> expected = blurred(pixelsOf(plain), 26, 16, &again);
    EXPECT_EQ(pixelsOf(image), expected);
    // The untouched copy never carries the blur.
    EXPECT_EQ(std::vector<TVN_DWORD>(ImageAccess::origBuffer(image), ImageAccess::origBuffer(image) + 80),
              randomPixels(10, 8, 1));
}

TEST(Blur, KernelZeroOnlyRebuildsAndKeepsTheRecordedSize) {
    const std::vector<TVN_DWORD> px = randomPixels(12, 9, 2);
    CRGBAImage image(px.data(), 12, 9);
    unsigned k = 3;
    image.blur(&k);
    const std::vector<TVN_DWORD> before = pixelsOf(image);
    unsigned zero = 0;
    image.blur(&zero); // rebuild at 18 x 15 with the blur of 3: the same picture
    EXPECT_EQ(image.getBlurKrnlSize(), 3u);
    EXPECT_EQ(image.getWidth(), 18u);
    EXPECT_EQ(pixelsOf(image), before);
    // A second blur stacks on the rebuilt one and records only the new size.
    unsigned one = 1, again = 1;
    image.blur(&one);
    EXPECT_EQ(image.getWidth(), 20u);
    EXPECT_EQ(image.getBlurKrnlSize(), 1u);
    EXPECT_EQ(pixelsOf(image), blurred(before, 18, 15, &again));
}

// Blurring without a rebuild on a picture that was never resized: the untouched
// copy is taken before the blur, so it never carries one.
TEST(Blur, UntouchedCopyIsTakenBeforeAnyBlur) {
    const std::vector<TVN_DWORD> px = randomPixels(12, 10, 9);
    CRGBAImage image(px.data(), 12, 10);
    unsigned k = 2;
    ImageAccess::blur(image, &k, 0);
    EXPECT_EQ(image.getWidth(), 16u);
    ASSERT_EQ(image.setSizeRough(12, 10), 1); // the untouched picture, without the blur it carried
    EXPECT_EQ(pixelsOf(image), px);
    EXPECT_EQ(image.getBlurKrnlSize(), 2u);
}

TEST(Blur, SetSizeReducesTheKernelOfANarrowPicture) {
    CRGBAImage image(randomPixels(10, 8, 3).data(), 10, 8);
    ImageAccess::blurSize(image) = 4;
    ASSERT_EQ(image.setSize(10, 80, CRGBAImage::BoxFilter, nullptr, nullptr), 1); // 2 x 72 inside
    EXPECT_EQ(image.getWidth(), 4u);
    EXPECT_EQ(image.getHeight(), 74u);
    EXPECT_EQ(image.getBlurKrnlSize(), 1u);
    ImageAccess::blurSize(image) = 2;
    ASSERT_EQ(image.setSize(100, 80, CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_EQ(image.getWidth(), 100u);
    EXPECT_EQ(image.getHeight(), 80u);
    EXPECT_EQ(image.getBlurKrnlSize(), 2u);
    // No room inside the border: refused, nothing changes.
    const std::vector<TVN_DWORD> before = pixelsOf(image);
    EXPECT_EQ(image.setSize(4, 80, CRGBAImage::BoxFilter, nullptr, nullptr), 0);
    EXPECT_EQ(image.setSize(50, 3, CRGBAImage::BoxFilter, nullptr, nullptr), 0);
    EXPECT_EQ(image.getWidth(), 100u);
    EXPECT_EQ(pixelsOf(image), before);
}

} // namespace
