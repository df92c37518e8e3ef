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

// Blue, green, red from the bitmap's bytes, its first row as row 0, opaque; rows
// padded past their end (24 bits) or with an alpha byte that is dropped (32 bits).
TEST(FromHandle, EveryDepthAndWidthConvertsAlikeOnEveryLevel) {
    std::mt19937 rng(5);
    std::vector<std::pair<int, int>> sizes = {{300, 1000}}; // rows come over in several bands
    for (int w = 1; w <= 37; w += 3) sizes.push_back({w, 1 + w % 5});
    for (int bits : {24, 32})
        for (const auto& size : sizes) {
            const int w = size.first, h = size.second, stride = (w * bits / 8 + 3) / 4 * 4 + 4 * (w % 2);
            std::vector<unsigned char> rows(static_cast<std::size_t>(stride) * h);
            for (auto& b : rows) b = static_cast<unsigned char>(rng());
            Bitmap bitmap(w, h, bits, rows, stride);
            std::vector<TVN_DWORD> expected;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const unsigned char* p = &rows[static_cast<std::size_t>(y) * stride + x * bits / 8];
                    expected.push_back(tvnRGBA(p[2], p[1], p[0], 255));
                }
            tvntest::forEachLevel([&](tvn::cpu::Level) {
                CRGBAImage image;
                EXPECT_EQ(image.fromHandle(bitmap.handle), 1);
                EXPECT_EQ(tvntest::pixelsOf(image), expected) << bits << " bits, width " << w;
                EXPECT_EQ(image.getWidth() * 1000 + image.getHeight(), TVN_DWORD(w * 1000 + h));
                EXPECT_EQ(image.containsAlpha(), 0);
            });
        }
}

TEST(FromHandle, ReplacesTheWholePictureKeepingSettings) {
    CRGBAImage image(4, 4);
    Access::origBuffer(image) = static_cast<TVN_DWORD*>(tvn::heapAllocZero(8 * 8 * 4));
    Access::savedAlpha(image) = static_cast<unsigned char*>(tvn::heapAllocZero(8 * 8));
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
        tvn::testing::failAllocation(n);
        EXPECT_EQ(image.fromHandle(bitmap.handle), 0) << n;
        tvn::testing::failAllocation(0);
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
