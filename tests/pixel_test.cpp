// Pixel helpers: distance, normalisation and the converters. (The word layout
// itself is fixed by every test that builds pixels with tvnRGBA.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tivorn.h"

TEST(PixelWord, ColorDistanceMatchesTruncatedRootForEverySquaredSum) {
    EXPECT_EQ(tvnGetColorDist(0x00000000u, 0x00FFFFFFu), 441u);
    EXPECT_EQ(tvnGetColorDist(0xFF000000u, 0x00000000u), 0u);
    // A channel-wise sweep against an independent formula; symmetric.
    for (int d = 0; d < 256; d += 5)
        for (int e = 0; e < 256; e += 17) {
            TVN_DWORD p = tvnRGBA(static_cast<unsigned char>(d), static_cast<unsigned char>(e), 7, 0);
            TVN_DWORD q = tvnRGBA(0, 255, static_cast<unsigned char>(d), 255);
            double exact = std::sqrt(double(d * d + (e - 255) * (e - 255) + (7 - d) * (7 - d)));
            EXPECT_EQ(tvnGetColorDist(p, q), static_cast<TVN_DWORD>(exact));
            EXPECT_EQ(tvnGetColorDist(p, q), tvnGetColorDist(q, p));
        }
}

TEST(PixelWord, NormalizePel) {
    struct Case { TVN_DWORD in; unsigned char bits; TVN_DWORD out; } cases[] = {
        {0, 1, 0xFF000000u},          {5, 1, 0xFFFFFFFFu},          {0xFFFF, 16, 0xFFFFFFFFu},
        {0x0001, 16, 0xFF000008u},    {0x7C00, 15, 0xFFFF0000u},    {0x00000200, 32, 0xFF00007Fu},
        {0x12345678, 24, 0xFF345678u}, {0xFFFFFFFFu, 32, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        TVN_DWORD v = c.in;
        EXPECT_EQ(tvnNormalizePel(&v, c.bits), 1);
        EXPECT_EQ(v, c.out) << "bits " << int(c.bits) << " in " << std::hex << c.in;
    }
    for (int bits = 0; bits < 256; ++bits) {
        if (bits == 1 || bits == 15 || bits == 16 || bits == 24 || bits == 32) continue;
        TVN_DWORD v = 0xABCDEF01u;
        EXPECT_EQ(tvnNormalizePel(&v, static_cast<unsigned char>(bits)), 0);
        EXPECT_EQ(v, 0xABCDEF01u);
    }
}

TEST(PixelWord, MulFillSwap) {
    EXPECT_EQ(tvnMulPel(0x80C0FF10u, 1, 2), 0x80607F08u);
    EXPECT_EQ(tvnMulPel(0x000000C0u, 2, 1), 0x00000080u);

    std::vector<TVN_DWORD> words(5, 1);
    tvnFillUlong(words.data() + 1, 0xDEADBEEFu, 3);
    EXPECT_EQ(words, (std::vector<TVN_DWORD>{1, 0xDEADBEEFu, 0xDEADBEEFu, 0xDEADBEEFu, 1}));
    tvnFillUlong(words.data(), 7, 0);
    EXPECT_EQ(words[0], 1u);

    TVN_DWORD w = 0x11223344u;
    tvnSwapRB(&w);
    EXPECT_EQ(w, 0x11443322u);
    tvnSwapRB(nullptr);
}
