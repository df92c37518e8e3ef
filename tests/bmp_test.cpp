// The BMP reader on files made byte by byte: what it reads, what it refuses
// with which message, hostile sizes, truncation, and the vector row converters.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "image/image_access.h"
#include "support/files.h"
#include "support/helpers.h"

namespace {

using tvntest::Bytes;
using tvntest::bmpFile;
using tvntest::bmpPicture;

struct Read {
    int result;
    std::vector<int> messages;
    std::vector<TVN_DWORD> pixels;
    TVN_DWORD width, height;
    int alpha;
};

Read readBmp(const Bytes& file) {
    CRGBAImage image;
    Read r;
    r.result = tvntest::readWith(&tvn::ImageAccess::readBMP, image, file, &r.messages);
    r.width = image.getWidth();
    r.height = image.getHeight();
    r.alpha = image.containsAlpha();
    if (r.result) r.pixels = tvntest::pixelsOf(image);
    return r;
}

} // namespace

TEST(BmpReader, FilesMadeByHand) {
    // 8 bits: the 256 entries follow the header, whatever bfOffBits says; the
    // reserved byte of an entry is not alpha. The pixel is entry 200.
    Bytes table(1024 + 4, 0x99);
    std::copy_n("\x10\x20\x30", 3, &table[4 * 200]);
    std::fill_n(&table[1024], 4, 0);
    table[1024] = 200;
    const Bytes pixel = {0x10, 0x20, 0x30, 0};
    struct Case {
        const char* what;
        Bytes file;
        int message; // 0: read
        std::vector<TVN_DWORD> pixels = {};
        TVN_DWORD width = 0, height = 0;
    } cases[] = {
        // 2 x 2: 6 bytes of pixels and 2 of padding per row, bottom row first.
        {"24 bits with padding",
         bmpFile({2, 2, 24}, {0x10, 0x20, 0x30, 1, 2, 3, 0xAA, 0xAA, 0x40, 0x50, 0x60, 4, 5, 6, 0xAA, 0xAA}), 0,
         {0xFF102030u, 0xFF010203u, 0xFF405060u, 0xFF040506u}, 2, 2},
        {"colour table right after the header", bmpFile({1, 1, 8, 0, 40, 54 + 8}, table), 0, {0xFF102030u}, 1, 1},
        // The move is a signed 32-bit distance and its result is not checked.
        {"pixel offset of 2 GB reads on", bmpFile({1, 1, 24, 0, 40, 0x80000000u}, pixel), 0, {0xFF102030u}, 1, 1},
        // No pixels and rows of no bytes: nothing to read or store, however many rows.
        {"zero width, 8 bits", bmpFile({0, 0x7FFFFFFF, 8}, Bytes(1024)), 0, {}, 0, 0x7FFFFFFF},
        {"zero width, 24 bits", bmpFile({0, 0x7FFFFFFF, 24}, {}), 0, {}, 0, 0x7FFFFFFF},
        // The header versions, compressions and depths of real files are refused on
        // the corpus (manifest_test); here one of each kind and the hostile sizes.
        {"not BM", bmpFile({1, 1, 24, 0, 40, 54, "BA"}, pixel), 5},
        {"108-byte header", bmpFile({1, 1, 24, 0, 108}, pixel), 7},
        {"bit count 0", bmpFile({1, 1, 0}, pixel), 7},
        {"8-bit RLE", bmpFile({1, 1, 8, 1}, Bytes(1028)), 4},
        {"16-bit bit fields", bmpFile({1, 1, 16, 3}, pixel), 4},
        {"2-bit", bmpFile({1, 1, 2}, Bytes(64)), 2},
        {"64-bit", bmpFile({1, 1, 64}, Bytes(64)), 2},
        {"top-down", bmpFile({1, static_cast<TVN_DWORD>(-1), 24}, pixel), 1},
        {"width x height x 4 beyond 32 bits", bmpFile({0x10000, 0x10000, 24}, pixel), 1},
        {"width x 4 beyond 32 bits, height 1", bmpFile({0x40000000, 1, 24}, pixel), 1},
        {"short colour table", bmpFile({1, 1, 8}, Bytes(1000)), 2},
        {"short rows", bmpFile({2, 2, 24}, Bytes(15)), 2},
        {"pixel offset past the end", bmpFile({1, 1, 24, 0, 40, 100}, pixel), 2},
        {"file shorter than the headers", Bytes{'B', 'M', 0, 0}, 2},
    };
    for (const Case& c : cases) {
        Read r = readBmp(c.file);
        EXPECT_EQ(r.result, c.message ? 0 : 1) << c.what;
        EXPECT_EQ(r.messages, c.message ? std::vector<int>{c.message} : std::vector<int>{}) << c.what;
        EXPECT_EQ(r.pixels, c.pixels) << c.what;
        EXPECT_EQ(r.width, c.width) << c.what;
        EXPECT_EQ(r.height, c.height) << c.what;
        EXPECT_EQ(r.alpha, 0) << c.what;
    }
}

TEST(BmpReader, RandomPicturesAtEveryDepthMatchAnIndependentWriter) {
    std::mt19937 rng(5);
    for (unsigned bits : {1u, 4u, 8u, 24u, 32u})
        for (TVN_DWORD w : {1u, 2u, 3u, 7u, 8u, 9u, 17u, 33u, 64u})
            for (TVN_DWORD h : {1u, 3u}) {
                std::vector<TVN_DWORD> palette;
                if (bits <= 8)
                    for (unsigned i = 0; i < (1u << bits); ++i) palette.push_back(rng() & 0xFFFFFF);
                std::vector<unsigned> indices(std::size_t(w) * h);
                std::vector<TVN_DWORD> expected(indices.size());
                for (std::size_t i = 0; i < indices.size(); ++i) {
                    indices[i] = bits <= 8 ? rng() % (1u << bits) : 0;
                    TVN_DWORD c = bits <= 8 ? palette[indices[i]] : (rng() & 0xFFFFFF);
                    expected[i] = 0xFF000000u | c;
                }
                Read r = readBmp(bmpPicture(expected, w, h, bits, palette, indices));
                ASSERT_EQ(r.result, 1) << bits << " bits, " << w << "x" << h;
                EXPECT_EQ(r.pixels, expected) << bits << " bits, " << w << "x" << h;
                EXPECT_EQ(r.alpha, 0); // 32-bit files too: their fourth byte is 0 here
            }
}

TEST(BmpReader, EveryTruncationIsMessageTwo) {
    std::vector<unsigned> indices(15, 1);
    const Bytes full = bmpPicture({}, 5, 3, 4, std::vector<TVN_DWORD>(16, 0x123456), indices);
    ASSERT_EQ(readBmp(full).result, 1);
    for (std::size_t n = 0; n < full.size(); ++n) {
        Read r = readBmp(Bytes(full.begin(), full.begin() + static_cast<long>(n)));
        EXPECT_EQ(r.result, 0) << n;
        EXPECT_EQ(r.messages, std::vector<int>{2}) << n;
    }
}
