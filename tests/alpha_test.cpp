// The transparency modes through setTransparency: the settings record stored
// whole, the picture's own alpha saved once and brought back exactly, the worked
// values of each mode, where the alpha lands (in place, or in the untouched copy
// with the current picture rebuilt), the mask file, and no buffer read or
// written past its end in the odd states other operations leave.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "image/image_access.h"
#include "support/files.h"
#include "support/helpers.h"

namespace {

using A = tvn::ImageAccess;
using tvntest::resized;

IMG_TRANSP record(unsigned char mode) {
    return IMG_TRANSP{mode, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

// Every field set, so that a mode reading another's field would show.
IMG_TRANSP busy(unsigned char mode) {
    return IMG_TRANSP{mode, 50, 10, 90, 0, 40, 0, 100, 0, 1, 300};
}

std::vector<unsigned> alphaOf(const std::vector<TVN_DWORD>& px) {
    std::vector<unsigned> out;
    for (TVN_DWORD p : px) out.push_back(p >> 24);
    return out;
}

std::vector<TVN_DWORD> colourOf(std::vector<TVN_DWORD> px) {
    for (TVN_DWORD& p : px) p &= 0x00FFFFFFu;
    return px;
}

// The percentages go to every mode's fields in order; each mode reads only its own.
IMG_TRANSP settings(unsigned char mode, unsigned char a, unsigned char b = 0, unsigned char c = 0, unsigned char d = 0) {
    return IMG_TRANSP{mode, a, a, b, c, d, a, b, 0, 0, 0};
}

unsigned alphaAt(CRGBAImage& image, TVN_DWORD x, TVN_DWORD y) {
    return image.getBuffer()[static_cast<std::size_t>(y) * image.getWidth() + x] >> 24;
}

TEST(AlphaRecord, StoredWholeBeforeAnyCheck) {
    std::vector<TVN_DWORD> px = tvntest::randomPixels(6, 5, 1);
    CRGBAImage image(px.data(), 6, 5);
    EXPECT_EQ(image.restoreAlpha(CRGBAImage::BoxFilter, nullptr, nullptr), 0); // nothing saved yet
    EXPECT_EQ(image.setTransparency(busy(TRANSP_ORIGINAL), nullptr), 0);
    for (unsigned mode : {6u, 7u, 200u, 255u}) {
        IMG_TRANSP t = busy(static_cast<unsigned char>(mode));
        t.dwChromakeyDev = 0xDEADBEEFu;
        t.bChromakeySoft = -7;
        EXPECT_EQ(image.setTransparency(t, nullptr), 0);
        EXPECT_EQ(std::memcmp(&image.getTransparency(), &t, sizeof t), 0);
        EXPECT_EQ(tvntest::pixelsOf(image), px);
        EXPECT_EQ(A::savedAlpha(image), nullptr);
    }
    // The record reached through getTransparency may be passed back in.
    image.setTransparency(busy(TRANSP_CONST), nullptr);
    EXPECT_EQ(image.setTransparency(image.getTransparency(), nullptr), 1);
    EXPECT_EQ(image.getTransparency().byConstTransp, 50);
}

TEST(AlphaRecord, MaskNameIsCopiedOnlyForTheMaskMode) {
    CRGBAImage image(4, 4);
    EXPECT_EQ(image.setTransparency(busy(TRANSP_CONST), "ignored.bmp"), 1);
    EXPECT_STREQ(image.getMaskFileName(), "");
    image.setTransparency(busy(TRANSP_MASK), "mask.bmp");
    EXPECT_STREQ(image.getMaskFileName(), "mask.bmp");
    image.setTransparency(busy(TRANSP_MASK), nullptr); // keeps the name held
    EXPECT_STREQ(image.getMaskFileName(), "mask.bmp");
    image.setTransparency(busy(TRANSP_MASK), image.getMaskFileName()); // its own buffer
    EXPECT_STREQ(image.getMaskFileName(), "mask.bmp");
    std::string longName(400, 'n');
    image.setTransparency(busy(TRANSP_MASK), longName.c_str());
    EXPECT_EQ(std::string(image.getMaskFileName()), longName.substr(0, 259));
}

// The picture's own alpha varies per pixel; any sequence of modes, each of which
// saves first, must leave the copy of before the first one.
TEST(AlphaRecord, OwnAlphaSavedOnceAndBroughtBackExactly) {
    std::vector<TVN_DWORD> px = tvntest::randomPixels(13, 9, 3);
    CRGBAImage image(px.data(), 13, 9);
    const unsigned char sequence[] = {TRANSP_CONST, TRANSP_ELL, TRANSP_LG, TRANSP_CHROMAKEY, TRANSP_CONST};
    for (unsigned char mode : sequence) {
        ASSERT_EQ(image.setTransparency(busy(mode), nullptr), 1);
        EXPECT_NE(alphaOf(tvntest::pixelsOf(image)), alphaOf(px)) << int(mode);
        EXPECT_EQ(colourOf(tvntest::pixelsOf(image)), colourOf(px)) << int(mode);
    }
    ASSERT_EQ(image.setTransparency(busy(TRANSP_ORIGINAL), nullptr), 1);
    EXPECT_EQ(tvntest::pixelsOf(image), px);
    EXPECT_EQ(image.getTransparency().byMode, TRANSP_ORIGINAL);

    // The saved copy stays, and saveAlpha never replaces it, even after the host
    // edited the alpha: a mode and a restore again give the first picture.
    for (std::size_t i = 0; i < px.size(); ++i) image.getBuffer()[i] &= 0x00FFFFFFu;
    image.saveAlpha();
    image.setTransparency(busy(TRANSP_ELL), nullptr);
    EXPECT_EQ(image.restoreAlpha(CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_EQ(tvntest::pixelsOf(image), px);
}

// After a trim the saved copy is larger than the original size: only as many
// bytes as the original size covers are applied, in buffer order (the sanitizer
// build proves nothing beyond them is read).
TEST(AlphaRecord, TrimmedPictureRestoresWithinTheSavedBytes) {
    std::vector<TVN_DWORD> px = tvntest::randomPixels(8, 8, 7);
    CRGBAImage image(px.data(), 8, 8);
    image.setTransparency(settings(TRANSP_LG, 0, 0, 0, 100), nullptr); // clears the bottom row
    TVN_DWORD x = 0, y = 0;
    image.trimByAlpha(x, y);
    ASSERT_EQ(image.getWidthOrig() * 10 + image.getHeightOrig(), 87u);
    CRGBAImage copy(image); // copies the 56 bytes the original size covers
    for (CRGBAImage* c : {&image, &copy}) {
        ASSERT_EQ(c->setTransparency(busy(TRANSP_ORIGINAL), nullptr), 1);
        std::vector<TVN_DWORD> got = tvntest::pixelsOf(*c);
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], (px[i] & 0xFF000000u) | (px[i + 8] & 0xFFFFFFu)) << i;
    }
}

// Alpha at chosen pixels (buffer row 0 is the bottom edge), or of every pixel.
TEST(AlphaModes, WorkedValues) {
    struct Case { IMG_TRANSP t; TVN_DWORD w, h; std::vector<std::array<unsigned, 3>> xyAlpha; int all; } cases[] = {
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
        const TVN_DWORD* before = image.getBuffer();
        ASSERT_EQ(image.setTransparency(c.t, nullptr), 1);
        EXPECT_EQ(image.getBuffer(), before); // a picture never resized changes in place
        EXPECT_EQ(A::origBuffer(image), nullptr);
        for (const auto& p : c.xyAlpha) EXPECT_EQ(alphaAt(image, p[0], p[1]), p[2]) << p[0] << "," << p[1];
        if (c.all >= 0) {
            EXPECT_EQ(alphaOf(tvntest::pixelsOf(image)), std::vector<unsigned>(c.w * c.h, unsigned(c.all)));
        }
        EXPECT_EQ(image.getTransparency().byConstTransp, c.t.byConstTransp); // 200 stays stored
    }
}

// ---- Pictures with an untouched copy: compared with the same steps taken
// through public operations on an independent image.

// The alpha of a mode applied to the untouched pixels directly.
std::vector<TVN_DWORD> modeApplied(std::vector<TVN_DWORD> px, TVN_DWORD w, TVN_DWORD h, const IMG_TRANSP& t) {
    CRGBAImage image(px.data(), w, h);
    EXPECT_EQ(image.setTransparency(t, nullptr), 1);
    return tvntest::pixelsOf(image);
}

TEST(AlphaModes, ResizedPictureGetsAlphaInUntouchedCopyAndBilinearRebuild) {
    const TVN_DWORD w = 23, h = 17, cw = 31, ch = 11;
    std::vector<TVN_DWORD> px = tvntest::randomPixels(w, h, 5, true);
    for (unsigned char mode : {TRANSP_CONST, TRANSP_LG, TRANSP_ELL, TRANSP_CHROMAKEY}) {
        const IMG_TRANSP t = {mode, 45, 0, 90, 0, 0, 0, 100, px[40], 1, 60};
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
        image.setTransparency(settings(TRANSP_CONST, 100), nullptr);
        ASSERT_EQ(image.setTransparency(record(TRANSP_ORIGINAL), nullptr), 1);
        EXPECT_EQ(std::vector<TVN_DWORD>(A::origBuffer(image), A::origBuffer(image) + w * h), px);
        EXPECT_EQ(tvntest::pixelsOf(image), resized(px, w, h, cw, h, CRGBAImage::BoxFilter)) << cw;
    }
}

} // namespace

// The mask's brightness becomes alpha and the colour bytes stay; a mask of
// another size is stretched: its alpha is a bilinear resize of the mask picture
// done through the API, made grey.
TEST(MaskAlpha, BrightnessOfTheMaskStretchedBilinearlyBecomesAlpha) {
    tvntest::MemoryFile same("mask.bmp", tvntest::bmpPicture({0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu,
                                                              0xFF000000u, 0xFF808080u}, 3, 2));
    tvntest::MemoryFile small("small.bmp",
                              tvntest::bmpPicture({0xFF000000u, 0xFFFFFFFFu, 0xFF404040u, 0xFFC0C0C0u}, 2, 2));
    CRGBAImage stretched;
    ASSERT_EQ(stretched.load(small.path(), 0), 1);
    ASSERT_EQ(stretched.setSize(5, 3, CRGBAImage::BilinearFilter, nullptr, nullptr), 1);
    ASSERT_EQ(stretched.convertToGrayscale(), 1);
    std::vector<unsigned> grey;
    for (TVN_DWORD p : tvntest::pixelsOf(stretched)) grey.push_back(tvnGetRValue(p));
    const std::tuple<const char*, TVN_DWORD, TVN_DWORD, std::vector<unsigned>> cases[] = {
        {same.path(), 3, 2, {76, 149, 29, 255, 0, 128}}, {small.path(), 5, 3, grey}};
    for (const auto& c : cases) {
        auto px = tvntest::randomPixels(std::get<1>(c), std::get<2>(c), 9);
        CRGBAImage image(px.data(), std::get<1>(c), std::get<2>(c));
        ASSERT_EQ(image.setTransparency(record(TRANSP_MASK), std::get<0>(c)), 1);
        EXPECT_EQ(alphaOf(tvntest::pixelsOf(image)), std::get<3>(c));
        EXPECT_EQ(colourOf(tvntest::pixelsOf(image)), colourOf(px));
        EXPECT_EQ(tvn::ImageAccess::origBuffer(image), nullptr);
    }
}

TEST(MaskAlpha, APictureIsItsOwnMaskAfterALoadAndResizesKeepIt) {
    std::vector<TVN_DWORD> px(16 * 8);
    for (TVN_DWORD i = 0; i < px.size(); ++i) px[i] = (i % 16 < 8) ? 0xFFFFFFFFu : 0xFF000000u;
    tvntest::MemoryFile file("self.bmp", tvntest::bmpPicture(px, 16, 8));
    CRGBAImage image;
    ASSERT_EQ(image.load(file.path(), 0), 1);
    ASSERT_EQ(image.setSize(32, 16, CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    ASSERT_EQ(image.setTransparency(record(TRANSP_MASK), nullptr), 1) << "the mask name after a load is the picture itself";
    const TVN_DWORD* orig = tvn::ImageAccess::origBuffer(image);
    EXPECT_EQ(tvnGetAValue(orig[0]), 255) << "white is opaque";
    EXPECT_EQ(tvnGetAValue(orig[15]), 0) << "black is transparent";
    ASSERT_EQ(image.setSize(16, 8, CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_EQ(tvnGetAValue(image.getBuffer()[0]), 255);
    EXPECT_EQ(tvnGetAValue(image.getBuffer()[15]), 0) << "the alpha lives in the untouched copy";
}

TEST(MaskAlpha, AMissingMaskNamesThePathAndKeepsThePicture) {
    auto px = tvntest::randomPixels(4, 4, 2);
    CRGBAImage image(px.data(), 4, 4);
    {
        tvntest::MessageRecorder boxes;
        EXPECT_EQ(image.setTransparency(record(TRANSP_MASK), "no/such/mask.bmp"), 0);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, tvntest::MessageRecorder::expectedText(10) + ": no/such/mask.bmp");
    }
    {
        tvntest::MemoryFile png("mask.png", std::vector<unsigned char>(64, 0x89));
        tvntest::MessageRecorder boxes;
        EXPECT_EQ(image.setTransparency(record(TRANSP_MASK), png.path()), 0) << "unknown extensions fail silently";
        EXPECT_TRUE(boxes.boxes().empty());
    }
    EXPECT_EQ(tvntest::pixelsOf(image), px);
    EXPECT_NE(tvn::ImageAccess::savedAlpha(image), nullptr) << "the picture's own alpha was saved first";
}
