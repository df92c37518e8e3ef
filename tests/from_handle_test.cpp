// fromHandle on bitmaps the host makes with tvnCreateBitmap: padded 24-bit rows,
// 32-bit rows whose alpha is dropped, the picture replaced whole, and an image
// left exactly as it was after any failure.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/image_access.h"
#include "support/levels.h"
#include "pixel/heap.h"
#include "support/helpers.h"

namespace {

using Access = tvn::ImageAccess;

struct Bitmap {
    HBITMAP handle;
    Bitmap(int w, int h, int bits, const std::vector<unsigned char>& rows, int stride)
        : handle(tvnCreateBitmap(w, h, bits, rows.data(), stride)) {}
    ~Bitmap() { tvnDeleteBitmap(handle); }
};

TEST(FromHandle, PaddedRowsBottomUpAndOpaque) {
    // 3x2, 24-bit, rows 12 bytes apart (three bytes of padding each).
    std::vector<unsigned char> rows = {0x10, 0x20, 0x30, 1,  2,  3,  4,  5,  6,  0xEE, 0xEE, 0xEE,
                                       7,    8,    9,    10, 11, 12, 13, 14, 15, 0xEE, 0xEE, 0xEE};
    Bitmap bitmap(3, 2, 24, rows, 12);
    ASSERT_NE(bitmap.handle, nullptr);
    CRGBAImage image;
    ASSERT_EQ(image.fromHandle(bitmap.handle), 1);
    ASSERT_EQ(image.getWidth(), 3u);
    ASSERT_EQ(image.getHeight(), 2u);
    // Blue 0x10, green 0x20, red 0x30 make 0xFF102030; the bitmap's first row is row 0.
    EXPECT_EQ(tvntest::pixelsOf(image),
              (std::vector<TVN_DWORD>{0xFF102030u, 0xFF010203u, 0xFF040506u, 0xFF070809u, 0xFF0A0B0Cu, 0xFF0D0E0Fu}));
    EXPECT_EQ(image.containsAlpha(), 0);
}

TEST(FromHandle, ThirtyTwoBitRowsLoseTheirAlphaAndAllWidthsConvertAlike) {
    std::mt19937 rng(5);
    std::vector<std::pair<int, int>> sizes = {{300, 1000}}; // rows come over in several bands
    for (int w = 1; w <= 37; w += 3) sizes.push_back({w, 1 + w % 5});
    for (const auto& size : sizes) {
        const int w = size.first, h = size.second;
        std::vector<unsigned char> rows(static_cast<std::size_t>(w) * 4 * h);
        for (auto& b : rows) b = static_cast<unsigned char>(rng());
        Bitmap bitmap(w, h, 32, rows, w * 4);
        std::vector<TVN_DWORD> expected;
        for (std::size_t i = 0; i < rows.size(); i += 4)
            expected.push_back(tvnRGBA(rows[i + 2], rows[i + 1], rows[i], 255));
        tvntest::forEachLevel([&](tvn::pixel::cpu::Level) {
            CRGBAImage image;
            EXPECT_EQ(image.fromHandle(bitmap.handle), 1);
            EXPECT_EQ(tvntest::pixelsOf(image), expected) << "width " << w;
            EXPECT_EQ(image.containsAlpha(), 0);
        });
    }
}

TEST(FromHandle, ReplacesTheWholePictureKeepingSettings) {
    CRGBAImage image(4, 4);
    Access::origBuffer(image) = static_cast<TVN_DWORD*>(tvn::pixel::heapAllocZero(8 * 8 * 4));
    Access::savedAlpha(image) = static_cast<unsigned char*>(tvn::pixel::heapAllocZero(8 * 8));
    Access::widthOrig(image) = Access::heightOrig(image) = 8;
    Access::containsAlpha(image) = 1;
    Access::blurSize(image) = 3;
    Access::resizeFilter(image) = 4;
    Access::transp(image).byMode = TRANSP_CONST;
    std::vector<unsigned char> rows(8 * 5, 0x40);
    Bitmap bitmap(2, 5, 24, rows, 8);
    ASSERT_EQ(image.fromHandle(bitmap.handle), 1);
    EXPECT_EQ(image.getWidth(), 2u);
    EXPECT_EQ(image.getWidthOrig(), 2u);
    EXPECT_EQ(image.getHeightOrig(), 5u);
    EXPECT_EQ(Access::origBuffer(image), nullptr);
    EXPECT_EQ(Access::savedAlpha(image), nullptr);
    EXPECT_EQ(image.containsAlpha(), 0);
    EXPECT_EQ(image.getBlurKrnlSize(), 3u);
    EXPECT_EQ(Access::resizeFilter(image), 4);
    EXPECT_EQ(image.getTransparency().byMode, TRANSP_CONST);
}

TEST(FromHandle, FailuresLeaveTheImageAsItWas) {
    std::vector<unsigned char> rows(12 * 3, 0x7F);
    Bitmap bitmap(3, 3, 24, rows, 12);
    const std::vector<TVN_DWORD> before = tvntest::randomPixels(5, 4, 9);
    CRGBAImage image(before.data(), 5, 4);
    Access::containsAlpha(image) = 1;
    const TVN_DWORD* buffer = image.getBuffer();
    auto unchanged = [&]() {
        EXPECT_EQ(image.getBuffer(), buffer);
        EXPECT_EQ(tvntest::pixelsOf(image), before);
        EXPECT_EQ(image.getWidth(), 5u);
        EXPECT_EQ(image.getHeightOrig(), 4u);
        EXPECT_EQ(image.containsAlpha(), 1);
    };
    EXPECT_EQ(image.fromHandle(nullptr), 0);
    unchanged();
    for (unsigned long n = 1; n <= 2; ++n) { // the pixel buffer, then the row buffer
        tvn::pixel::testing::failAllocation(n);
        EXPECT_EQ(image.fromHandle(bitmap.handle), 0) << n;
        tvn::pixel::testing::failAllocation(0);
        unchanged();
    }
}

TEST(FromHandle, CreateBitmapRefusesWhatItCannotHold) {
    std::vector<unsigned char> rows(64);
    EXPECT_EQ(tvnCreateBitmap(2, 2, 16, rows.data(), 8), nullptr);
    EXPECT_EQ(tvnCreateBitmap(2, 2, 24, nullptr, 8), nullptr);
    EXPECT_EQ(tvnCreateBitmap(4, 2, 32, rows.data(), 8), nullptr); // stride shorter than a row
    EXPECT_EQ(tvnCreateBitmap(0, 2, 24, rows.data(), 8), nullptr);
    tvnDeleteBitmap(nullptr);
}

} // namespace
