// The box blur: the worked 3x3 example, the border geometry and the reduction of
// k, the image's public and private blur and their interplay with setSize. (The
// vector paths are proven in resample_fast_test, allocation failures of a blurred
// resize in resample_test.)
#include <gtest/gtest.h>

#include <vector>

#include "image/image_access.h"
#include "support/helpers.h"

namespace {

using tvn::ImageAccess;
using tvntest::pixelsOf;
using tvntest::randomPixels;

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
    ASSERT_EQ(image.setSizeRough(12, 10), 1);
    EXPECT_EQ(pixelsOf(image), px);
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
