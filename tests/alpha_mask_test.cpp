// The mask mode: a picture's alpha from the brightness of a mask file.
#include <gtest/gtest.h>

#include <vector>

#include "image/image_access.h"
#include "support/files.h"
#include "support/helpers.h"

namespace {

IMG_TRANSP maskMode() {
    IMG_TRANSP t{};
    t.byMode = TRANSP_MASK;
    return t;
}

} // namespace

TEST(MaskAlpha, BrightnessOfASameSizeMaskBecomesAlpha) {
    const std::vector<TVN_DWORD> colours = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu, 0xFF000000u, 0xFF808080u};
    tvntest::MemoryFile maskFile("mask.bmp", tvntest::bmpPicture(colours, 3, 2));
    auto px = tvntest::randomPixels(3, 2, 9);
    CRGBAImage image(px.data(), 3, 2);
    ASSERT_EQ(image.setTransparency(maskMode(), maskFile.path()), 1);
    const std::vector<unsigned> expected = {76, 149, 29, 255, 0, 128};
    for (std::size_t i = 0; i < px.size(); ++i) {
        EXPECT_EQ(tvnGetAValue(image.getBuffer()[i]), expected[i]) << i;
        EXPECT_EQ(image.getBuffer()[i] & 0xFFFFFFu, px[i] & 0xFFFFFFu) << "colour bytes stay";
    }
    EXPECT_EQ(tvn::ImageAccess::origBuffer(image), nullptr);
}

TEST(MaskAlpha, APictureIsItsOwnMaskAfterALoadAndResizesKeepIt) {
    std::vector<TVN_DWORD> px(16 * 8);
    for (TVN_DWORD i = 0; i < px.size(); ++i) px[i] = (i % 16 < 8) ? 0xFFFFFFFFu : 0xFF000000u;
    tvntest::MemoryFile file("self.bmp", tvntest::bmpPicture(px, 16, 8));
    CRGBAImage image;
    ASSERT_EQ(image.load(file.path(), 0), 1);
    ASSERT_EQ(image.setSize(32, 16, CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    ASSERT_EQ(image.setTransparency(maskMode(), nullptr), 1) << "the mask name after a load is the picture itself";
    const TVN_DWORD* orig = tvn::ImageAccess::origBuffer(image);
    EXPECT_EQ(tvnGetAValue(orig[0]), 255) << "white is opaque";
    EXPECT_EQ(tvnGetAValue(orig[15]), 0) << "black is transparent";
    ASSERT_EQ(image.setSize(16, 8, CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_EQ(tvnGetAValue(image.getBuffer()[0]), 255);
    EXPECT_EQ(tvnGetAValue(image.getBuffer()[15]), 0) << "the alpha lives in the untouched copy";
}

TEST(MaskAlpha, AMaskOfAnotherSizeIsStretchedBilinearly) {
    const std::vector<TVN_DWORD> grey = {0xFF000000u, 0xFFFFFFFFu, 0xFF404040u, 0xFFC0C0C0u};
    tvntest::MemoryFile maskFile("small.bmp", tvntest::bmpPicture(grey, 2, 2));
    // The stretched mask equals a bilinear resize of the mask picture done through the API.
    CRGBAImage reference;
    ASSERT_EQ(reference.load(maskFile.path(), 0), 1);
    ASSERT_EQ(reference.setSize(5, 3, CRGBAImage::BilinearFilter, nullptr, nullptr), 1);
    ASSERT_EQ(reference.convertToGrayscale(), 1);

    auto px = tvntest::randomPixels(5, 3, 4);
    CRGBAImage image(px.data(), 5, 3);
    ASSERT_EQ(image.setTransparency(maskMode(), maskFile.path()), 1);
    for (std::size_t i = 0; i < px.size(); ++i)
        EXPECT_EQ(tvnGetAValue(image.getBuffer()[i]), tvnGetRValue(reference.getBuffer()[i])) << i;
}

TEST(MaskAlpha, AMissingMaskNamesThePathAndKeepsThePicture) {
    auto px = tvntest::randomPixels(4, 4, 2);
    CRGBAImage image(px.data(), 4, 4);
    {
        tvntest::MessageRecorder boxes;
        EXPECT_EQ(image.setTransparency(maskMode(), "no/such/mask.bmp"), 0);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, tvntest::MessageRecorder::expectedText(10) + ": no/such/mask.bmp");
    }
    {
        tvntest::MemoryFile png("mask.png", std::vector<unsigned char>(64, 0x89));
        tvntest::MessageRecorder boxes;
        EXPECT_EQ(image.setTransparency(maskMode(), png.path()), 0) << "unknown extensions fail silently";
        EXPECT_TRUE(boxes.boxes().empty());
    }
    EXPECT_EQ(tvntest::pixelsOf(image), px);
    EXPECT_NE(tvn::ImageAccess::savedAlpha(image), nullptr) << "the picture's own alpha was saved first";
}
