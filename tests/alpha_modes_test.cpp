// The modes through setTransparency: the worked values of each mode, where the
// alpha lands (in place, or in the untouched copy with the current picture
// rebuilt), and transparency surviving later resizes.
#include <gtest/gtest.h>

#include <vector>

#include "alpha/position_kernels.h"
#include "image/image_access.h"
#include "pixel/heap.h"
#include "support/helpers.h"

namespace {

using A = tvn::ImageAccess;

IMG_TRANSP record(unsigned char mode) {
    IMG_TRANSP t = {};
    t.byMode = mode;
    return t;
}

std::vector<unsigned> alphaOf(CRGBAImage& image) {
    std::vector<unsigned> out;
    for (TVN_DWORD p : tvntest::pixelsOf(image)) out.push_back(p >> 24);
    return out;
}

unsigned alphaAt(CRGBAImage& image, TVN_DWORD x, TVN_DWORD y) {
    return image.getBuffer()[static_cast<std::size_t>(y) * image.getWidth() + x] >> 24;
}

TEST(AlphaModes, ConstantWorkedValues) {
    struct Case {
        unsigned char percent;
        unsigned alpha;
    } cases[] = {{0, 255}, {1, 252}, {50, 127}, {100, 0}, {200, 0}};
    for (const Case& c : cases) {
        CRGBAImage image(3, 2);
        IMG_TRANSP t = record(TRANSP_CONST);
        t.byConstTransp = c.percent;
        ASSERT_EQ(image.setTransparency(t, nullptr), 1);
        EXPECT_EQ(alphaOf(image), std::vector<unsigned>(6, c.alpha)) << int(c.percent);
        EXPECT_EQ(image.getTransparency().byConstTransp, c.percent); // 200 stays stored
    }
}

TEST(AlphaModes, GradientWorkedValues) {
    IMG_TRANSP t = record(TRANSP_LG);
    t.byLGTop = t.byLGLeft = t.byLGRight = t.byLGBottom = 50;
    CRGBAImage even(5, 4);
    ASSERT_EQ(even.setTransparency(t, nullptr), 1);
    EXPECT_EQ(alphaOf(even), std::vector<unsigned>(20, 63)); // 255 x 0.5 x 0.5, not 127

    t = record(TRANSP_LG);
    t.byLGRight = 100;
    CRGBAImage ramp(4, 2);
    ramp.setTransparency(t, nullptr);
    EXPECT_EQ(alphaOf(ramp), (std::vector<unsigned>{255, 191, 127, 63, 255, 191, 127, 63}));

    t = record(TRANSP_LG);
    t.byLGBottom = 100;
    CRGBAImage bottom(2, 3);
    bottom.setTransparency(t, nullptr);
    EXPECT_EQ(alphaAt(bottom, 0, 0), 0u); // buffer row 0 is the bottom edge
    EXPECT_EQ(alphaAt(bottom, 1, 0), 0u);
    EXPECT_EQ(alphaAt(bottom, 0, 1), 84u); // 255 x 1/3, truncated
}

TEST(AlphaModes, EllipseWorkedValues) {
    IMG_TRANSP t = record(TRANSP_ELL);
    t.byEllBorder = 100;
    CRGBAImage image(4, 4);
    ASSERT_EQ(image.setTransparency(t, nullptr), 1);
    EXPECT_EQ(alphaAt(image, 2, 2), 255u);
    EXPECT_EQ(alphaAt(image, 1, 2), 191u);
    EXPECT_EQ(alphaAt(image, 3, 2), 191u);
    EXPECT_EQ(alphaAt(image, 1, 1), 127u);
    EXPECT_EQ(alphaAt(image, 0, 2), 0u); // on the ellipse
    EXPECT_EQ(alphaAt(image, 0, 0), 0u); // outside

    t.byEllBorder = 0;
    image.setTransparency(t, nullptr);
    EXPECT_EQ(alphaAt(image, 0, 2), 255u); // on the ellipse: still inside
    EXPECT_EQ(alphaAt(image, 2, 0), 255u);
    EXPECT_EQ(alphaAt(image, 0, 0), 0u);
    EXPECT_EQ(alphaAt(image, 0, 3), 0u);
    EXPECT_EQ(alphaAt(image, 3, 3), 255u); // the ellipse never reaches the last row and column
}

// A picture that was never resized is changed in place.
TEST(AlphaModes, UnresizedPictureChangesInPlace) {
    for (unsigned char mode : {TRANSP_CONST, TRANSP_LG, TRANSP_ELL, TRANSP_CHROMAKEY}) {
        std::vector<TVN_DWORD> px = tvntest::randomPixels(9, 7, mode);
        CRGBAImage image(px.data(), 9, 7);
        TVN_DWORD* before = image.getBuffer();
        IMG_TRANSP t = record(mode);
        t.byConstTransp = 30;
        t.byEllBorder = 100;
        t.byLGTop = 80;
        t.dwChromakeyDev = 200;
        ASSERT_EQ(image.setTransparency(t, nullptr), 1);
        EXPECT_EQ(image.getBuffer(), before);
        EXPECT_EQ(A::origBuffer(image), nullptr);
        EXPECT_EQ(image.getWidth(), 9u);
    }
}

// The gradient's column table is its only allocation; without it the same
// alpha comes from the per-pixel loop.
TEST(AlphaModes, GradientWithoutRoomForItsTable) {
    std::vector<TVN_DWORD> px = tvntest::randomPixels(50, 4, 1);
    IMG_TRANSP t = record(TRANSP_LG);
    t.byLGLeft = 20;
    t.byLGTop = 70;
    CRGBAImage expected(px.data(), 50, 4), image(px.data(), 50, 4);
    expected.setTransparency(t, nullptr);
    image.saveAlpha();
    tvn::testing::failAllocation(1);
    EXPECT_EQ(image.setTransparency(t, nullptr), 1);
    tvn::testing::failAllocation(0);
    EXPECT_EQ(tvntest::pixelsOf(image), tvntest::pixelsOf(expected));
}

// ---- Pictures with an untouched copy: compared with the same steps taken
// through public operations on an independent image.

bool canResize() {
    CRGBAImage probe(2, 2);
    return probe.setSize(3, 3, CRGBAImage::BoxFilter, nullptr, nullptr) == 1;
}

// The alpha of a mode applied to the untouched pixels directly.
std::vector<TVN_DWORD> modeApplied(std::vector<TVN_DWORD> px, TVN_DWORD w, TVN_DWORD h, const IMG_TRANSP& t) {
    CRGBAImage image(px.data(), w, h);
    EXPECT_EQ(image.setTransparency(t, nullptr), 1);
    return tvntest::pixelsOf(image);
}

std::vector<TVN_DWORD> resized(std::vector<TVN_DWORD> px, TVN_DWORD w, TVN_DWORD h, TVN_DWORD nw, TVN_DWORD nh,
                               int filter) {
    CRGBAImage image(px.data(), w, h);
    EXPECT_EQ(image.setSize(nw, nh, filter, nullptr, nullptr), 1);
    return tvntest::pixelsOf(image);
}

TEST(AlphaModes, ResizedPictureGetsAlphaInUntouchedCopyAndBilinearRebuild) {
    if (!canResize()) GTEST_SKIP() << "resizing is not available in this build";
    const TVN_DWORD w = 23, h = 17, cw = 31, ch = 11;
    std::vector<TVN_DWORD> px = tvntest::randomPixels(w, h, 5, true);
    for (unsigned char mode : {TRANSP_CONST, TRANSP_LG, TRANSP_ELL, TRANSP_CHROMAKEY}) {
        IMG_TRANSP t = record(mode);
        t.byConstTransp = 45;
        t.byLGLeft = 90;
        t.byEllBorder = 100;
        t.clrChromakey = px[40];
        t.bChromakeySoft = 1;
        t.dwChromakeyDev = 60;
        CRGBAImage image(px.data(), w, h);
        ASSERT_EQ(image.setSize(cw, ch, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
        ASSERT_EQ(image.setTransparency(t, nullptr), 1);
        std::vector<TVN_DWORD> orig = modeApplied(px, w, h, t);
        ASSERT_NE(A::origBuffer(image), nullptr);
        EXPECT_EQ(std::vector<TVN_DWORD>(A::origBuffer(image), A::origBuffer(image) + w * h), orig) << int(mode);
        EXPECT_EQ(tvntest::pixelsOf(image), resized(orig, w, h, cw, ch, CRGBAImage::BilinearFilter)) << int(mode);

        // A later resize starts again from the untouched copy, alpha included.
        ASSERT_EQ(image.setSize(40, 9, CRGBAImage::GaussianFilter, nullptr, nullptr), 1);
        EXPECT_EQ(tvntest::pixelsOf(image), resized(orig, w, h, 40, 9, CRGBAImage::GaussianFilter)) << int(mode);
    }
}

// Mode 4 on a resized picture: the untouched copy gets its own alpha back and
// the current picture is rebuilt with the image's own rebuild filter, also when
// it is shown at its original size (where restoreAlpha alone would not rebuild).
TEST(AlphaModes, OwnAlphaOnResizedPictureIsShownAtOnce) {
    if (!canResize()) GTEST_SKIP() << "resizing is not available in this build";
    const TVN_DWORD w = 12, h = 10;
    std::vector<TVN_DWORD> px = tvntest::randomPixels(w, h, 9);
    for (TVN_DWORD cw : {w, TVN_DWORD(7)}) {
        CRGBAImage image(px.data(), w, h);
        ASSERT_EQ(image.setSize(cw, h, CRGBAImage::HammingFilter, nullptr, nullptr), 1);
        IMG_TRANSP t = record(TRANSP_CONST);
        t.byConstTransp = 100;
        image.setTransparency(t, nullptr);
        ASSERT_EQ(image.setTransparency(record(TRANSP_ORIGINAL), nullptr), 1);
        EXPECT_EQ(std::vector<TVN_DWORD>(A::origBuffer(image), A::origBuffer(image) + w * h), px);
        EXPECT_EQ(tvntest::pixelsOf(image), resized(px, w, h, cw, h, CRGBAImage::BoxFilter)) << cw;
    }
}

} // namespace
