// The modes through setTransparency: the worked values of each mode, where the
// alpha lands (in place, or in the untouched copy with the current picture
// rebuilt), and transparency surviving later resizes.
#include <gtest/gtest.h>

#include <array>
#include <string>
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

// The percentages go to every mode's fields in order; each mode reads only its own.
IMG_TRANSP settings(unsigned char mode, unsigned char a, unsigned char b = 0, unsigned char c = 0, unsigned char d = 0) {
    IMG_TRANSP t = record(mode);
    t.byConstTransp = t.byLGTop = t.byEllCenter = a;
    t.byLGLeft = t.byEllBorder = b;
    t.byLGRight = c;
    t.byLGBottom = d;
    return t;
}

// Alpha at chosen pixels (buffer row 0 is the bottom edge), or of every pixel.
TEST(AlphaModes, WorkedValues) {
    struct Case {
        IMG_TRANSP t;
        TVN_DWORD w, h;
        std::vector<std::array<unsigned, 3>> xyAlpha;
        int all;
    } cases[] = {
        {settings(TRANSP_CONST, 0), 3, 2, {}, 255},
        {settings(TRANSP_CONST, 1), 3, 2, {}, 252},
        {settings(TRANSP_CONST, 50), 3, 2, {}, 127},
        {settings(TRANSP_CONST, 100), 3, 2, {}, 0},
        {settings(TRANSP_CONST, 200), 3, 2, {}, 0},
        {settings(TRANSP_LG, 50, 50, 50, 50), 5, 4, {}, 63}, // 255 x 0.5 x 0.5, not 127
        {settings(TRANSP_LG, 0, 0, 100), 4, 2, {{0, 0, 255}, {1, 0, 191}, {2, 1, 127}, {3, 1, 63}}, -1},
        {settings(TRANSP_LG, 0, 0, 0, 100), 2, 3, {{0, 0, 0}, {1, 0, 0}, {0, 1, 84}}, -1}, // 255 x 1/3, truncated
        {settings(TRANSP_ELL, 0, 100), 4, 4,
         {{2, 2, 255}, {1, 2, 191}, {3, 2, 191}, {1, 1, 127}, {0, 2, 0} /* on the ellipse */, {0, 0, 0}}, -1},
        // On the ellipse is still inside; it never reaches the last row and column.
        {settings(TRANSP_ELL, 0, 0), 4, 4, {{0, 2, 255}, {2, 0, 255}, {0, 0, 0}, {0, 3, 0}, {3, 3, 255}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.t.byMode) + " " + std::to_string(c.t.byConstTransp));
        CRGBAImage image(c.w, c.h);
        ASSERT_EQ(image.setTransparency(c.t, nullptr), 1);
        for (const auto& p : c.xyAlpha) EXPECT_EQ(alphaAt(image, p[0], p[1]), p[2]) << p[0] << "," << p[1];
        if (c.all >= 0) {
            EXPECT_EQ(alphaOf(image), std::vector<unsigned>(c.w * c.h, unsigned(c.all)));
        }
        EXPECT_EQ(image.getTransparency().byConstTransp, c.t.byConstTransp); // 200 stays stored
    }
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
