// The GIF reader on crafted files: round trips through a separate LZW encoder
// (every code size, table fills with and without clear codes, interlace, small
// sub-blocks), the format's corner cases, damaged and cut-off data, every file
// read by the fast decode loop and the reference loop alike (gif_fuzz compares
// them on arbitrary bytes). Failed allocations and reads: fault_walk_test.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gif_encoder.h"
#include "image/image_access.h"
#include "support/helpers.h"
#include "support/levels.h"

namespace {

namespace enc = gifenc;
using enc::Bytes;
using Indices = std::vector<std::uint16_t>;

struct Result {
    int ok = 0;
    TVN_DWORD width = 0, height = 0;
    std::vector<TVN_DWORD> pixels;
    std::vector<int> messages;
    int alpha = 0;
    bool operator==(const Result& o) const {
        return ok == o.ok && width == o.width && height == o.height && pixels == o.pixels && messages == o.messages;
    }
};

Result read(const Bytes& bytes) {
    CRGBAImage image;
    Result r;
    r.ok = tvntest::readWith(&tvn::ImageAccess::readGIF, image, bytes, &r.messages);
    r.width = image.getWidth();
    r.height = image.getHeight();
    if (r.ok) r.pixels = tvntest::pixelsOf(image);
    r.alpha = image.containsAlpha();
    return r;
}

// Both decode loops must agree on every file; the common result is returned.
Result readGif(const Bytes& bytes) {
    Result reference = tvntest::onReference([&] { return read(bytes); });
    Result fast = read(bytes);
    EXPECT_TRUE(fast == reference) << "fast and reference decode differ";
    return fast;
}

Bytes palette(unsigned entries) {
    Bytes t;
    for (unsigned i = 0; i < entries; ++i) {
        t.push_back(static_cast<unsigned char>(i));
        t.push_back(static_cast<unsigned char>(255 - i));
        t.push_back(static_cast<unsigned char>(i * 7 + 3));
    }
    return t;
}

TVN_DWORD colour(const Bytes& table, unsigned index) {
    if (3u * index >= table.size()) return 0xFF000000u;
    return tvnRGBA(table[3 * index], table[3 * index + 1], table[3 * index + 2], 255);
}

// A one-image file whose image covers the whole screen.
Bytes singleImage(unsigned w, unsigned h, const Bytes& table, const Indices& rows, int minCodeSize, bool interlaced,
                  std::size_t blockSize = 255, const enc::LzwOptions* lzw = nullptr) {
    enc::LzwOptions options = lzw ? *lzw : enc::LzwOptions();
    options.minCodeSize = minCodeSize;
    Indices sent = interlaced ? enc::interlaceRows(rows, w, h) : rows;
    Bytes gif = enc::header(w, h, table);
    enc::image(gif, 0, 0, w, h, interlaced, Bytes(), minCodeSize,
               enc::subBlocks(enc::lzwEncode(sent, options), blockSize));
    gif.push_back(0x3B);
    return gif;
}

std::vector<TVN_DWORD> expectedPicture(unsigned w, unsigned h, const Bytes& table, const Indices& rows) {
    std::vector<TVN_DWORD> px(static_cast<std::size_t>(w) * h);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x)
            px[static_cast<std::size_t>(h - 1 - y) * w + x] = colour(table, rows[y * w + x]);
    return px;
}

Indices randomIndices(std::size_t n, unsigned below, unsigned seed, bool smooth) {
    std::mt19937 rng(seed);
    Indices v(n);
    unsigned run = 0, value = 0;
    for (auto& i : v) {
        if (!smooth || run-- == 0) {
            value = rng() % below;
            run = smooth ? rng() % 40 : 0;
        }
        i = static_cast<std::uint16_t>(value);
    }
    return v;
}

TEST(GifRoundTrip, EveryCodeSizeTableFillAndBlockSize) {
    struct Case {
        unsigned w, h;
        int minCodeSize;
        unsigned colours;
        std::size_t blockSize;
        bool clearWhenFull, interlaced, smooth;
    } cases[] = {
        {300, 200, 8, 256, 255, true, false, false},  // several table fills, each ended by a clear
        {300, 200, 8, 256, 255, false, false, false}, // full table: 12-bit codes to the end
        {257, 131, 8, 256, 2, true, true, true},      // two-byte sub-blocks, interlaced, long strings
        {64, 64, 2, 4, 7, true, false, true},         // smallest code size, growth to 12 bits
        {64, 64, 2, 4, 255, false, true, false},
        {33, 17, 5, 32, 3, true, true, false},
        {90, 70, 11, 256, 255, true, false, false}, // indices beyond the table: opaque black
        {1, 1, 1, 2, 255, true, false, false},
        {64, 64, 7, 128, 1, true, false, false}, // one-byte sub-blocks under codes of up to 12 bits
    };
    unsigned seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " m=" + std::to_string(c.minCodeSize));
        Bytes table = palette(c.colours);
        Indices rows = randomIndices(std::size_t(c.w) * c.h, c.minCodeSize == 11 ? 2048 : c.colours, seed++, c.smooth);
        enc::LzwOptions lzw;
        lzw.clearWhenFull = c.clearWhenFull;
        Result r = readGif(singleImage(c.w, c.h, table, rows, c.minCodeSize, c.interlaced, c.blockSize, &lzw));
        ASSERT_EQ(r.ok, 1);
        EXPECT_EQ(r.alpha, 0);
        EXPECT_TRUE(r.pixels == expectedPicture(c.w, c.h, table, rows));
    }
}

// Frames drawn in order and clipped to the screen; extensions skipped
// uninterpreted, a transparency index included; a screen without a global table
// is opaque black, and an image without any table draws black.
TEST(GifReader, ComposedFiles) {
    const Bytes global = palette(16), local = palette(4), two = palette(2);
    Bytes frames = enc::header(4, 4, global);
    // A 2x2 frame at (1,1), a 3x3 frame at (3,2) reaching past two screen edges,
    // one with its own table, one far outside, and a frame back on the global table.
    enc::image(frames, 1, 1, 2, 2, false, Bytes(), 4, enc::subBlocks(enc::lzwEncode({5, 6, 7, 8}, {4})));
    enc::image(frames, 3, 2, 3, 3, false, local, 2, enc::subBlocks(enc::lzwEncode({1, 2, 3, 1, 2, 3, 1, 2, 3}, {2})));
    enc::image(frames, 60000, 60000, 2, 2, false, Bytes(), 4, enc::subBlocks(enc::lzwEncode({9, 9, 9, 9}, {4})));
    enc::image(frames, 0, 3, 1, 1, false, Bytes(), 4, enc::subBlocks(enc::lzwEncode({15}, {4})));
    const TVN_DWORD bg = colour(global, 0), l1 = colour(local, 1);
    const std::vector<TVN_DWORD> framesDrawn = {colour(global, 15), bg, bg, l1, // bottom row first
                                                bg, colour(global, 7), colour(global, 8), l1,
                                                bg, colour(global, 5), colour(global, 6), bg,
                                                bg, bg, bg, bg};
    Bytes extended = enc::header(2, 1, two);
    // Graphic control with a transparency index for colour 1, a comment in two
    // sub-blocks, and one whose first sub-block is empty: the skip then runs to
    // the next zero byte, here past the bytes 'x' 'y'.
    const Bytes ext = {0x21, 0xF9, 4, 0x01, 0, 0, 1, 0, 0x21, 0xFE, 3, 'a', 'b', 'c',
                       2, 'd', 'e', 0, 0x21, 0xFE, 0, 'x', 'y', 0};
    extended.insert(extended.end(), ext.begin(), ext.end());
    enc::image(extended, 0, 0, 2, 1, false, Bytes(), 2, enc::subBlocks(enc::lzwEncode({1, 0}, {2})));
    Bytes untabled = enc::header(3, 1, Bytes());
    enc::image(untabled, 1, 0, 1, 1, false, Bytes(), 2, enc::subBlocks(enc::lzwEncode({3}, {2})));
    enc::image(untabled, 2, 0, 1, 1, false, two, 2, enc::subBlocks(enc::lzwEncode({3}, {2})));
    const std::pair<Bytes, std::vector<TVN_DWORD>> cases[] = {
        {frames, framesDrawn},
        {extended, {colour(two, 1), colour(two, 0)}},
        {untabled, std::vector<TVN_DWORD>(3, 0xFF000000u)},
    };
    for (auto c : cases) {
        c.first.push_back(0x3B);
        Result r = readGif(c.first);
        ASSERT_EQ(r.ok, 1);
        EXPECT_EQ(r.pixels, c.second);
        EXPECT_EQ(r.alpha, 0);
    }
}

// Codes of the given widths, as a crafted data stream.
Bytes codes(const std::vector<std::pair<unsigned, int>>& list) {
    enc::BitWriter bits;
    for (const auto& c : list) bits.put(c.first, c.second);
    return bits.finish();
}

// Damaged data in a 4 x 1 file (read as far as it goes, or refused with message
// 2), and files refused before any data with the message of their fault.
TEST(GifReader, DamagedCutOffAndRefusedFiles) {
    const Bytes table = palette(8), good = singleImage(2, 2, palette(4), {1, 2, 3, 0}, 2, false);
    auto file = [&](int minCodeSize, const Bytes& blocks, bool trailer) {
        Bytes gif = enc::header(4, 1, table);
        enc::image(gif, 0, 0, 4, 1, false, Bytes(), minCodeSize, blocks);
        if (trailer) gif.push_back(0x3B);
        return gif;
    };
    struct Case {
        const char* what;
        Bytes bytes;
        int message; // 0: read
        unsigned drawn = 0; // leading pixels that are not the background
    } cases[] = {
        // Code 7 beyond the table, then 7 again: its entry gets itself as prefix.
        {"self-referring entry", file(2, enc::subBlocks(codes({{4, 3}, {0, 3}, {7, 3}, {7, 3}, {7, 4}, {5, 4}})), 0),
         2},
        // Entries 11 and 12 end up as each other's prefix.
        {"prefix cycle",
         file(3, enc::subBlocks(codes({{8, 4}, {0, 4}, {12, 4}, {11, 4}, {1, 4}, {11, 4}, {9, 4}})), 0), 2},
        // The only code ends on the last bit of the data: the reader has already
        // moved on to the next sub-block and finds the end of the data.
        {"code on the last bit", file(3, enc::subBlocks(codes({{8, 4}, {1, 4}})), 1), 0, 0},
        {"same with an end code behind", file(3, enc::subBlocks(codes({{8, 4}, {1, 4}, {9, 4}}), 1), 1), 0, 1},
        // A sub-block that announces more than the file holds.
        // Codes clear, 1, 2 and 3; the 3 ends on the last bit and is lost.
        {"short sub-block", file(3, Bytes{40, 0x18, 0x32}, 0), 0, 2},
        {"no length byte after the data", file(3, Bytes{1, 0x18}, 0), 2},
        {"minimum code size 12", file(12, enc::subBlocks(codes({{4096, 13}, {1, 13}})), 0), 2},
        {"end code first", file(3, enc::subBlocks(codes({{9, 4}, {1, 4}})), 1), 0, 0},
        {"third byte not F", Bytes{'G', 'I', 'X', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}, 3},
        {"short signature", Bytes{'G', 'I', 'F'}, 2},
        {"ends in the screen descriptor", Bytes(good.begin(), good.begin() + 10), 2},
        {"short global table", Bytes(good.begin(), good.begin() + 20), 2},
        {"ends in the image descriptor", Bytes(good.begin(), good.begin() + 30), 2},
        {"no minimum code size", Bytes(good.begin(), good.begin() + 35), 2},
        {"screen too large to allocate", enc::header(65535, 65535, palette(2)), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Result r = readGif(c.bytes);
        ASSERT_EQ(r.ok, c.message ? 0 : 1);
        if (c.message) {
            EXPECT_EQ(r.messages, std::vector<int>{c.message});
            EXPECT_EQ(r.width, 0u);
            continue;
        }
        for (unsigned x = 0; x < 4; ++x) EXPECT_EQ(r.pixels[x] != colour(table, 0), x < c.drawn) << x;
    }
}

TEST(GifDecoder, CutAnywhereDrawsAPrefixOfThePicture) {
    const unsigned w = 23, h = 19;
    const Bytes table = palette(64);
    Indices rows = randomIndices(w * h, 63, 7, true);
    for (auto& i : rows) ++i; // keep index 0, the background, out of the picture
    const std::vector<TVN_DWORD> picture = expectedPicture(w, h, table, rows);
    const unsigned order[2][19] = {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18},
                                   {0, 8, 16, 4, 12, 2, 6, 10, 14, 18, 1, 3, 5, 7, 9, 11, 13, 15, 17}};
    for (bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "sequential");
        const Bytes full = singleImage(w, h, table, rows, 6, interlaced, 40);
        // Buffer index of the k-th pixel in the order the data send them.
        auto at = [&](std::size_t k) { return (h - 1 - order[interlaced][k / w]) * w + k % w; };
        std::size_t last = 0;
        for (std::size_t cut = 13 + table.size() + 11; cut < full.size(); cut += 3) {
            Result r = readGif(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)));
            if (!r.ok) continue; // the file ended where a length byte was due
            std::size_t n = 0;
            while (n < w * h && r.pixels[at(n)] == picture[at(n)]) ++n;
            for (std::size_t k = n; k < w * h; ++k) ASSERT_EQ(r.pixels[at(k)], colour(table, 0));
            EXPECT_GE(n, last);
            last = n;
        }
        EXPECT_GT(last, w * h / 2);
    }
}

} // namespace
