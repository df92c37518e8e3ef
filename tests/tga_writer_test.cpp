// The TGA writer: the exact bytes of the file, and its failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pixel/heap.h"
#include "support/helpers.h"

using Bytes = std::vector<unsigned char>;

namespace {

Bytes header(unsigned w, unsigned h) {
    return {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<unsigned char>(w), static_cast<unsigned char>(w >> 8),
            static_cast<unsigned char>(h), static_cast<unsigned char>(h >> 8), 32, 8};
}

Bytes footer() {
    Bytes f(8, 0);
    const std::string sig = "TRUEVISION-XFILE.";
    f.insert(f.end(), sig.begin(), sig.end());
    f.push_back(0);
    return f;
}

} // namespace

TEST(TgaWriter, TwoPixelFile) {
    tvntest::TempFile file("two.tga");
    std::vector<TVN_DWORD> px = {0x80112233u, 0xFF445566u};
    CRGBAImage image(px.data(), 2, 1);
    ASSERT_EQ(image.saveTGA(file.path()), 1);
    Bytes expected = header(2, 1);
    for (unsigned char b : {0x11, 0x22, 0x33, 0x80, 0x44, 0x55, 0x66, 0xFF}) expected.push_back(b);
    const Bytes f = footer();
    expected.insert(expected.end(), f.begin(), f.end());
    EXPECT_EQ(file.read(), expected);
    EXPECT_EQ(expected.size(), 52u);
}

TEST(TgaWriter, LargePictureRowsBottomFirstAndSizeCutTo16Bits) {
    struct Case {
        TVN_DWORD w, h;
    } cases[] = {{301, 257}, {65537, 2}}; // more pixels than one write slice; a width above 16 bits
    for (const Case& c : cases) {
        tvntest::TempFile file("big.tga");
        const std::vector<TVN_DWORD> px = tvntest::randomPixels(c.w, c.h, c.w);
        CRGBAImage image(px.data(), c.w, c.h);
        ASSERT_EQ(image.saveTGA(file.path()), 1);
        Bytes expected = header(c.w & 0xFFFF, c.h);
        for (TVN_DWORD v : px)
            for (unsigned char b : {tvnGetBValue(v), tvnGetGValue(v), tvnGetRValue(v), tvnGetAValue(v)})
                expected.push_back(b);
        const Bytes f = footer();
        expected.insert(expected.end(), f.begin(), f.end());
        EXPECT_EQ(file.read(), expected);
    }
}

TEST(TgaWriter, Failures) {
    std::vector<TVN_DWORD> px = {1, 2, 3, 4};
    CRGBAImage image(px.data(), 2, 2);
    EXPECT_EQ(image.saveTGA(nullptr), 0);
    tvntest::TempFile dir("no_such_folder");
    EXPECT_EQ(image.saveTGA((std::string(dir.path()) + "/x.tga").c_str()), 0);

    // Out of memory: nothing is written, an existing file stays as it was.
    tvntest::TempFile file("keep.tga");
    file.write({1, 2, 3});
    tvn::testing::failAllocation(1);
    EXPECT_EQ(image.saveTGA(file.path()), 0);
    tvn::testing::failAllocation(0);
    EXPECT_EQ(file.read(), (Bytes{1, 2, 3}));
}
