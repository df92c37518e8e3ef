// The JPEG reader: a small picture through the platform decoder, and the failures
// that must give 0 without a message box and without touching the image. The
// decoded pixels of real files are checked on the corpus (manifest_test).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image_access.h"
#include "platform/platform.h"
#include "support/helpers.h"

namespace {

// 16x8, quality 95, no subsampling: red, green over blue, white (top left first).
std::vector<unsigned char> quadrants() {
    return tvntest::readFileBytes(std::string(TIVORN_SOURCE_DIR) + "/tests/data/quadrants_16x8.jpg");
}

bool closeTo(TVN_DWORD pixel, TVN_DWORD expected) {
    for (int shift = 0; shift < 32; shift += 8) {
        int d = static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF);
        if (d < -12 || d > 12) return false;
    }
    return true;
}

TEST(JpegReader, FailuresGiveZeroQuietlyAndKeepThePicture) {
    const std::vector<unsigned char> good = quadrants();
    ASSERT_EQ(good.size(), 719u);
    std::vector<unsigned char> garbage(300);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<unsigned char>(i * 37 + 11);
    const bool system = std::string(tvn::plat::pictureDecoderName()) == "OleLoadPicture";
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        bool libraryDecoderOnly; // the system decoder may show what it has of a cut-off file
    } cases[] = {
        {"empty", {}, false},
        {"garbage", garbage, false},
        {"only the start marker", {0xFF, 0xD8}, false},
        {"cut in the scan", std::vector<unsigned char>(good.begin(), good.end() - 60), true},
    };
    const std::vector<TVN_DWORD> before = tvntest::randomPixels(3, 2, 4);
    for (const Case& c : cases) {
        if (system && c.libraryDecoderOnly) continue;
        SCOPED_TRACE(c.what);
        CRGBAImage image(before.data(), 3, 2);
        std::vector<int> messages;
        EXPECT_EQ(tvntest::readWith(&tvn::ImageAccess::readJPEG, image, c.bytes, &messages), 0);
        EXPECT_EQ(tvntest::pixelsOf(image), before);
        EXPECT_EQ(image.getWidth(), 3u);
        EXPECT_TRUE(messages.empty());
    }
}

// The whole picture: size, colours, row order (failed calls: fault_walk_test).
TEST(JpegReader, DecodesSizeColoursAndRowOrder) {
    const std::vector<TVN_DWORD> before = tvntest::randomPixels(3, 2, 4);
    CRGBAImage image(before.data(), 3, 2);
    std::vector<int> messages;
    ASSERT_EQ(tvntest::readWith(&tvn::ImageAccess::readJPEG, image, quadrants(), &messages), 1);
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(image.getWidth(), 16u);
    ASSERT_EQ(image.getHeight(), 8u);
    EXPECT_EQ(image.containsAlpha(), 0);
    const std::vector<TVN_DWORD> px = tvntest::pixelsOf(image);
    for (TVN_DWORD p : px) EXPECT_EQ(p >> 24, 0xFFu);
    // Centres of the quadrants; buffer row 0 is the bottom of the picture.
    const TVN_DWORD at[4] = {6 * 16 + 3, 6 * 16 + 12, 1 * 16 + 3, 1 * 16 + 12};
    const TVN_DWORD colour[4] = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu};
    for (int q = 0; q < 4; ++q) EXPECT_TRUE(closeTo(px[at[q]], colour[q])) << std::hex << px[at[q]];
}

} // namespace
