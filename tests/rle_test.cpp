// Run-length packing: exact streams, a second encoder written from the rule
// that every processor level's packer (and so its vector scans) must match, and
// round trips through the run-length constructor.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "support/levels.h"
#include "support/helpers.h"

using Bytes = std::vector<unsigned char>;

namespace {

void putPixel(Bytes& out, TVN_DWORD v) {
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<unsigned char>(v >> shift));
}

// The packing rule walked literally: a table of runs per row, then packets.
Bytes slowPack(const std::vector<TVN_DWORD>& px, std::size_t w, std::size_t h) {
    Bytes out;
    for (std::size_t y = 0; y < h; ++y) {
        const TVN_DWORD* p = px.data() + y * w;
        std::vector<std::pair<std::size_t, std::size_t>> runs; // first, last
        bool inRun = false;
        std::size_t start = 0;
        for (std::size_t x = 0; x + 1 < w; ++x) {
            if (!inRun && p[x] == p[x + 1]) {
                inRun = true;
                start = x;
            } else if (inRun && p[x] != p[x + 1]) {
                inRun = false;
                if (x - start + 1 > 2) runs.push_back({start, x});
            }
        }
        if (inRun) runs.push_back({start, w - 1});
        runs.push_back({w, w});
        std::size_t x = 0;
        for (auto run : runs) {
            while (x < run.first) {
                std::size_t n = std::min<std::size_t>(128, run.first - x);
                out.push_back(static_cast<unsigned char>(n - 1));
                for (std::size_t i = 0; i < n; ++i) putPixel(out, p[x + i]);
                x += n;
            }
            for (std::size_t left = run.first < w ? run.second - run.first + 1 : 0; left;) {
                std::size_t n = std::min<std::size_t>(128, left);
                out.push_back(static_cast<unsigned char>(0x80 | (n - 1)));
                putPixel(out, p[run.first]);
                left -= n;
            }
            x = run.first < w ? run.second + 1 : w;
        }
    }
    return out;
}

// Packs, checks the stream against the slow encoder, and decodes it back.
void roundTrip(const std::vector<TVN_DWORD>& px, TVN_DWORD w, TVN_DWORD h) {
    CRGBAImage image(px.data(), w, h);
    const Bytes stream = tvntest::packed(image);
    ASSERT_EQ(stream, slowPack(px, w, h)) << w << " x " << h;
    CRGBAImage back(stream.data(), static_cast<TVN_DWORD>(stream.size()), w, h);
    ASSERT_EQ(tvntest::pixelsOf(back), px) << w << " x " << h;
}

// A row of distinct words with a run of `len` equal words at `at`.
std::vector<TVN_DWORD> rowWithRun(std::size_t w, std::size_t at, std::size_t len) {
    std::vector<TVN_DWORD> row(w);
    for (std::size_t i = 0; i < w; ++i) row[i] = 0xFF000000u + static_cast<TVN_DWORD>(i);
    for (std::size_t i = at; i < at + len; ++i) row[i] = 0x12345678u;
    return row;
}

} // namespace

TEST(RunLength, ExactStreams) {
    const TVN_DWORD A = 0xFF102030u, B = 0x01020304u, C = 0xFFFFFFFFu;
    // 130 different pixels: literal packets of 128 and 2.
    const std::vector<TVN_DWORD> distinct = rowWithRun(130, 0, 0);
    Bytes literals = {0x7F};
    for (std::size_t i = 0; i < 130; ++i) {
        if (i == 128) literals.push_back(0x01);
        putPixel(literals, distinct[i]);
    }
    struct Case {
        std::vector<TVN_DWORD> px;
        TVN_DWORD w;
        Bytes stream;
    } cases[] = {
        {{A, A, A, A}, 4, {0x83, 0xFF, 0x10, 0x20, 0x30}},
        {{A, B, C}, 3, {0x02, 0xFF, 0x10, 0x20, 0x30, 0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF}},
        {{A, A, B}, 3, {0x02, 0xFF, 0x10, 0x20, 0x30, 0xFF, 0x10, 0x20, 0x30, 0x01, 0x02, 0x03, 0x04}},
        {{B, A, A}, 3, {0x00, 0x01, 0x02, 0x03, 0x04, 0x81, 0xFF, 0x10, 0x20, 0x30}},
        {{A}, 1, {0x00, 0xFF, 0x10, 0x20, 0x30}},
        {distinct, 130, literals},
        // Two rows with a run of 300: packets of 128, 128 and 44; none crosses rows.
        {std::vector<TVN_DWORD>(300 * 2, 0xFF000000u), 300,
         {0xFF, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0xAB, 0xFF, 0, 0, 0,
          0xFF, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0xAB, 0xFF, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const TVN_DWORD h = static_cast<TVN_DWORD>(c.px.size()) / c.w;
        CRGBAImage image(c.px.data(), c.w, h);
        EXPECT_EQ(tvntest::packed(image), c.stream) << c.w;
        EXPECT_EQ(slowPack(c.px, c.w, h), c.stream) << c.w; // the second encoder agrees
    }
}

TEST(RunLength, RandomPicturesAndRunsAtRowEdgesRoundTripOnEveryPath) {
    std::mt19937 rng(11);
    tvntest::forEachLevel([&](tvn::pixel::cpu::Level) {
        for (int i = 0; i < 60; ++i) {
            const TVN_DWORD w = 1 + rng() % 300, h = 1 + rng() % 6;
            std::vector<TVN_DWORD> px(static_cast<std::size_t>(w) * h);
            // Mostly a few colours in stretches of random length, so runs of every size occur.
            const TVN_DWORD palette[] = {0xFF000000u, 0x80FFFFFFu, static_cast<TVN_DWORD>(rng()), 0};
            for (std::size_t x = 0; x < px.size();) {
                const std::size_t n = std::min<std::size_t>(px.size() - x, 1 + rng() % (rng() % 4 ? 4 : 200));
                const TVN_DWORD v = rng() % 3 ? palette[rng() % 4] : 0;
                for (std::size_t k = 0; k < n; ++k) px[x + k] = v ? v : static_cast<TVN_DWORD>(rng());
                x += n;
            }
            roundTrip(px, w, h);
        }
        roundTrip(tvntest::randomPixels(640, 48, 3, true), 640, 48);
        // Runs at a row's start, middle and end, at the packet limits; the same word ends row 2.
        for (std::size_t len : {2u, 3u, 127u, 128u, 129u, 256u, 300u})
            for (std::size_t at : {std::size_t(0), std::size_t(2), std::size_t(5)}) {
                std::vector<TVN_DWORD> px = rowWithRun(len + 5, at, len), second = rowWithRun(len + 5, 5, len);
                px.insert(px.end(), second.begin(), second.end());
                roundTrip(px, static_cast<TVN_DWORD>(len + 5), 2);
            }
    });
}

TEST(RunLength, PacksTheUntouchedPicture) {
    CRGBAImage image(10, 10);
    tvntest::giveUntouchedCopy(image, 7, 3, 2);
    const Bytes s = tvntest::packed(image);
    CRGBAImage back(s.data(), static_cast<TVN_DWORD>(s.size()), 7, 3);
    EXPECT_EQ(tvntest::pixelsOf(back), tvntest::randomPixels(7, 3, 2));
    EXPECT_EQ(back.containsAlpha(), 1);
}

TEST(RunLength, FailuresStoreNothing) {
    unsigned char* packed = reinterpret_cast<unsigned char*>(&packed);
    unsigned char* const marker = packed;
    CRGBAImage none, empty(0, 5);
    EXPECT_EQ(none.compressRLE(&packed), 0u);
    EXPECT_EQ(empty.compressRLE(&packed), 0u);
    EXPECT_EQ(packed, marker);
    std::vector<TVN_DWORD> px = tvntest::randomPixels(9, 9, 1);
    EXPECT_EQ(CRGBAImage(px.data(), 9, 9).compressRLE(nullptr), 0u);
    CRGBAImage::freeRLEBuffer(nullptr);
}
