// The TGA writer: the exact bytes of the file, and its failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pixel/heap.h"
#include "support/files.h"
#include "support/helpers.h"

using tvntest::Bytes;

// The expected file: the 18-byte header (32 bits, 8 alpha bits, bottom-up; the
// width cut to 16 bits), blue-green-red-alpha pixels, then the 26-byte footer.
TEST(TgaWriter, ExactBytes) {
    const std::vector<TVN_DWORD> two = {0x80112233u, 0xFF445566u};
    struct Case {
        TVN_DWORD w, h;
        std::vector<TVN_DWORD> px;
    } cases[] = {{2, 1, two},
                 {301, 257, tvntest::randomPixels(301, 257, 301)}, // more pixels than one write slice
                 {65537, 2, tvntest::randomPixels(65537, 2, 65537)}};
    for (const Case& c : cases) {
        tvntest::TempFile file("out.tga");
        CRGBAImage image(c.px.data(), c.w, c.h);
        ASSERT_EQ(image.saveTGA(file.path()), 1);
        Bytes data;
        for (TVN_DWORD v : c.px)
            data.insert(data.end(), {tvnGetBValue(v), tvnGetGValue(v), tvnGetRValue(v), tvnGetAValue(v)});
        const Bytes expected = tvntest::tgaFile({c.w, c.h, 32, 2, 8, 0, 0, data, true});
        EXPECT_EQ(file.read(), expected) << c.w;
        if (c.w == 2) {
            EXPECT_EQ(Bytes(expected.begin() + 18, expected.end() - 26),
                      (Bytes{0x11, 0x22, 0x33, 0x80, 0x44, 0x55, 0x66, 0xFF}));
        }
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
