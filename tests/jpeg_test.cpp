// The JPEG reader: a small picture through the platform decoder, and the failures
// that must give 0 without a message box and without touching the image.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image_access.h"
#include "pixel/heap.h"
#include "platform/platform.h"
#include "support/helpers.h"

namespace {

// 16x8, quality 95, no subsampling: red, green over blue, white (top left first).
const char* const kQuadrantsJpeg =
    "ffd8ffe000104a46494600010100000100010000ffdb00430002010101010102010101020202020204030202020205040403"
    "04060506060605060606070908060709070606080b08090a0a0a0a0a06080b0c0b0a0c090a0a0affdb004301020202020202"
    "050303050a0706070a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a"
    "0a0a0a0a0a0a0a0affc00011080008001003011100021101031101ffc4001f00000105010101010101000000000000000001"
    "02030405060708090a0bffc400b5100002010303020403050504040000017d01020300041105122131410613516107227114"
    "328191a1082342b1c11552d1f02433627282090a161718191a25262728292a3435363738393a434445464748494a53545556"
    "5758595a636465666768696a737475767778797a838485868788898a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5"
    "b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9faffc4001f010003"
    "0101010101010101010000000000000102030405060708090a0bffc400b51100020102040403040705040400010277000102"
    "031104052131061241510761711322328108144291a1b1c109233352f0156272d10a162434e125f11718191a262728292a35"
    "363738393a434445464748494a535455565758595a636465666768696a737475767778797a82838485868788898a92939495"
    "969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8e9ea"
    "f2f3f4f5f6f7f8f9faffda000c03010002110311003f00fcd1ff0086acff00a903ff002a7ffdaabfaa3fe2991ff555ff00e5"
    "8fff007e1fda9ff150effaa67ff2f7ff00bd0fe963fe1cff00ff005719ff0096a7ff0075d7f95fff0012cbff00535ffca1ff"
    "00dd8ff157fe24effea77ff96dff00df07ffd9";

std::vector<unsigned char> quadrants() {
    std::vector<unsigned char> bytes;
    for (const char* p = kQuadrantsJpeg; p[0] && p[1]; p += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(std::string(p, 2), nullptr, 16)));
    return bytes;
}

int readJpeg(CRGBAImage& image, const std::vector<unsigned char>& bytes, unsigned long failAllocation = 0) {
    tvntest::MemoryFile file("picture.jpg", bytes);
    HANDLE h = tvn::plat::fileOpenRead(file.path());
    tvn::testing::failAllocation(failAllocation);
    int ok = tvn::ImageAccess::readJPEG(image, h);
    tvn::testing::failAllocation(0);
    tvn::plat::fileClose(h);
    return ok;
}

bool closeTo(TVN_DWORD pixel, TVN_DWORD expected) {
    for (int shift = 0; shift < 32; shift += 8) {
        int d = static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF);
        if (d < -12 || d > 12) return false;
    }
    return true;
}

TEST(JpegReader, DecodesSizeColoursAndRowOrder) {
    tvntest::MessageRecorder boxes;
    CRGBAImage image;
    ASSERT_EQ(readJpeg(image, quadrants()), 1);
    ASSERT_EQ(image.getWidth(), 16u);
    ASSERT_EQ(image.getHeight(), 8u);
    EXPECT_EQ(image.getWidthOrig(), 16u);
    EXPECT_EQ(image.containsAlpha(), 0);
    const std::vector<TVN_DWORD> px = tvntest::pixelsOf(image);
    for (TVN_DWORD p : px) EXPECT_EQ(p >> 24, 0xFFu);
    // Centres of the quadrants; buffer row 0 is the bottom of the picture.
    EXPECT_TRUE(closeTo(px[6 * 16 + 3], 0xFF0000FFu)) << std::hex << px[6 * 16 + 3];   // red
    EXPECT_TRUE(closeTo(px[6 * 16 + 12], 0xFF00FF00u)) << std::hex << px[6 * 16 + 12]; // green
    EXPECT_TRUE(closeTo(px[1 * 16 + 3], 0xFFFF0000u)) << std::hex << px[1 * 16 + 3];   // blue
    EXPECT_TRUE(closeTo(px[1 * 16 + 12], 0xFFFFFFFFu)) << std::hex << px[1 * 16 + 12];
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST(JpegReader, FailuresGiveZeroQuietlyAndKeepThePicture) {
    const std::vector<unsigned char> good = quadrants();
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
        tvntest::MessageRecorder boxes;
        CRGBAImage image(before.data(), 3, 2);
        EXPECT_EQ(readJpeg(image, c.bytes), 0);
        EXPECT_EQ(tvntest::pixelsOf(image), before);
        EXPECT_EQ(image.getWidth(), 3u);
        EXPECT_TRUE(boxes.boxes().empty());
    }
}

TEST(JpegReader, EveryFailedAllocationGivesZeroAndKeepsThePicture) {
    const std::vector<TVN_DWORD> before = tvntest::randomPixels(3, 2, 4);
    for (unsigned long n = 1;; ++n) {
        CRGBAImage image(before.data(), 3, 2);
        if (readJpeg(image, quadrants(), n)) {
            EXPECT_EQ(image.getWidth(), 16u);
            EXPECT_GE(n, 3u); // file bytes, pixels, rows
            break;
        }
        EXPECT_EQ(tvntest::pixelsOf(image), before) << n;
    }
}

} // namespace
