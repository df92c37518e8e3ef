// The settings record and the keeping of the picture's own alpha: stored whole,
// saved once, brought back exactly, colour bytes never touched, and no buffer
// read or written past its end in the odd states other operations leave.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/image_access.h"
#include "pixel/heap.h"
#include "support/helpers.h"

namespace {

using A = tvn::ImageAccess;

IMG_TRANSP record(unsigned char mode) {
    IMG_TRANSP t = {};
    t.byMode = mode;
    t.byConstTransp = 50;
    t.byLGTop = 10;
    t.byLGLeft = 90;
    t.byLGRight = 0;
    t.byLGBottom = 40;
    t.byEllCenter = 0;
    t.byEllBorder = 100;
    t.clrChromakey = 0x00000000u;
    t.bChromakeySoft = 1;
    t.dwChromakeyDev = 300;
    return t;
}

std::vector<unsigned> alphaOf(const std::vector<TVN_DWORD>& px) {
    std::vector<unsigned> out;
    for (TVN_DWORD p : px) out.push_back(p >> 24);
    return out;
}

std::vector<TVN_DWORD> colourOf(const std::vector<TVN_DWORD>& px) {
    std::vector<TVN_DWORD> out;
    for (TVN_DWORD p : px) out.push_back(p & 0x00FFFFFFu);
    return out;
}

TEST(AlphaRecord, StoredWholeBeforeAnyCheck) {
    std::vector<TVN_DWORD> px = tvntest::randomPixels(6, 5, 1);
    CRGBAImage image(px.data(), 6, 5);
    EXPECT_EQ(image.restoreAlpha(CRGBAImage::BoxFilter, nullptr, nullptr), 0); // nothing saved yet
    EXPECT_EQ(image.setTransparency(record(TRANSP_ORIGINAL), nullptr), 0);
    for (unsigned mode : {6u, 7u, 200u, 255u}) {
        IMG_TRANSP t = record(static_cast<unsigned char>(mode));
        t.dwChromakeyDev = 0xDEADBEEFu;
        t.bChromakeySoft = -7;
        EXPECT_EQ(image.setTransparency(t, nullptr), 0);
        EXPECT_EQ(std::memcmp(&image.getTransparency(), &t, sizeof t), 0);
        EXPECT_EQ(tvntest::pixelsOf(image), px);
        EXPECT_EQ(A::savedAlpha(image), nullptr);
    }
    // The record reached through getTransparency may be passed back in.
    image.setTransparency(record(TRANSP_CONST), nullptr);
    EXPECT_EQ(image.setTransparency(image.getTransparency(), nullptr), 1);
    EXPECT_EQ(image.getTransparency().byConstTransp, 50);
}

TEST(AlphaRecord, MaskNameIsCopiedOnlyForTheMaskMode) {
    CRGBAImage image(4, 4);
    EXPECT_EQ(image.setTransparency(record(TRANSP_CONST), "ignored.bmp"), 1);
    EXPECT_STREQ(image.getMaskFileName(), "");
    image.setTransparency(record(TRANSP_MASK), "mask.bmp");
    EXPECT_STREQ(image.getMaskFileName(), "mask.bmp");
    image.setTransparency(record(TRANSP_MASK), nullptr); // keeps the name held
    EXPECT_STREQ(image.getMaskFileName(), "mask.bmp");
    image.setTransparency(record(TRANSP_MASK), image.getMaskFileName()); // its own buffer
    EXPECT_STREQ(image.getMaskFileName(), "mask.bmp");
    std::string longName(400, 'n');
    image.setTransparency(record(TRANSP_MASK), longName.c_str());
    EXPECT_EQ(std::string(image.getMaskFileName()), longName.substr(0, 259));
}

// The picture's own alpha varies per pixel; any sequence of modes, each of which
// saves first, must leave the copy of before the first one.
TEST(AlphaRecord, OwnAlphaSavedOnceAndBroughtBackExactly) {
    std::vector<TVN_DWORD> px = tvntest::randomPixels(13, 9, 3);
    CRGBAImage image(px.data(), 13, 9);
    const unsigned char sequence[] = {TRANSP_CONST, TRANSP_ELL, TRANSP_LG, TRANSP_CHROMAKEY, TRANSP_CONST};
    for (unsigned char mode : sequence) {
        ASSERT_EQ(image.setTransparency(record(mode), nullptr), 1);
        EXPECT_NE(alphaOf(tvntest::pixelsOf(image)), alphaOf(px)) << int(mode);
        EXPECT_EQ(colourOf(tvntest::pixelsOf(image)), colourOf(px)) << int(mode);
    }
    ASSERT_EQ(image.setTransparency(record(TRANSP_ORIGINAL), nullptr), 1);
    EXPECT_EQ(tvntest::pixelsOf(image), px);
    EXPECT_EQ(image.getTransparency().byMode, TRANSP_ORIGINAL);

    // The saved copy stays, and saveAlpha never replaces it, even after the host
    // edited the alpha: a mode and a restore again give the first picture.
    for (std::size_t i = 0; i < px.size(); ++i) image.getBuffer()[i] &= 0x00FFFFFFu;
    image.saveAlpha();
    image.setTransparency(record(TRANSP_ELL), nullptr);
    EXPECT_EQ(image.restoreAlpha(CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_EQ(tvntest::pixelsOf(image), px);
}

// Out of memory for the saved copy: the mode does not run (the picture's own
// alpha would otherwise be lost for good), reports 0, and a later call works.
TEST(AlphaRecord, FailedSaveLeavesPictureUntouched) {
    std::vector<TVN_DWORD> px = tvntest::randomPixels(8, 6, 6);
    for (unsigned char mode : {TRANSP_CONST, TRANSP_LG, TRANSP_ELL, TRANSP_CHROMAKEY}) {
        CRGBAImage image(px.data(), 8, 6);
        tvn::testing::failAllocation(1);
        EXPECT_EQ(image.setTransparency(record(mode), nullptr), 0) << int(mode);
        tvn::testing::failAllocation(0);
        EXPECT_EQ(A::savedAlpha(image), nullptr);
        EXPECT_EQ(tvntest::pixelsOf(image), px);
        EXPECT_EQ(image.getTransparency().byMode, mode);
        EXPECT_EQ(image.setTransparency(record(mode), nullptr), 1);
        EXPECT_EQ(image.setTransparency(record(TRANSP_ORIGINAL), nullptr), 1);
        EXPECT_EQ(tvntest::pixelsOf(image), px);
    }
}

// Replaces the picture as trimByAlpha and stretchHorizontally leave it: a new
// current buffer, no untouched copy, the original size as given.
void replacePicture(CRGBAImage& image, TVN_DWORD w, TVN_DWORD h, TVN_DWORD wOrig, TVN_DWORD hOrig) {
    tvn::heapFree(A::buffer(image));
    tvn::heapFree(A::origBuffer(image));
    A::origBuffer(image) = nullptr;
    A::buffer(image) = static_cast<TVN_DWORD*>(tvn::heapAllocZero(std::size_t(w) * h * 4));
    A::width(image) = w;
    A::height(image) = h;
    A::widthOrig(image) = wOrig;
    A::heightOrig(image) = hOrig;
}

// After a trim the saved copy is larger than the original size: only as many
// bytes as the original size covers are applied, in buffer order (the sanitizer
// build proves nothing beyond them is read).
TEST(AlphaRecord, TrimmedPictureRestoresWithinTheSavedBytes) {
    std::vector<TVN_DWORD> px = tvntest::randomPixels(8, 8, 7);
    CRGBAImage image(px.data(), 8, 8);
    image.setTransparency(record(TRANSP_CONST), nullptr);
    replacePicture(image, 3, 2, 3, 2);
    CRGBAImage copy(image); // copies the 6 bytes the original size covers
    for (CRGBAImage* c : {&image, &copy}) {
        ASSERT_EQ(c->setTransparency(record(TRANSP_ORIGINAL), nullptr), 1);
        std::vector<TVN_DWORD> got = tvntest::pixelsOf(*c);
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], px[i] & 0xFF000000u) << i;
    }
}

} // namespace
