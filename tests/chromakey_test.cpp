// Chromakey: the worked values of the mode, and the vector paths proven equal to
// the distance formula over every squared distance, every reachable colour
// difference and every (distance, deviation, keying) that matters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "alpha/chromakey_kernels.h"
#include "support/levels.h"
#include "support/helpers.h"

namespace {

using namespace tvn::alpha;

// Alpha that the mode gives a pixel, through the public operation.
unsigned keyed(TVN_DWORD pixel, TVN_DWORD key, int soft, TVN_DWORD dev) {
    CRGBAImage image(&pixel, 1, 1);
    IMG_TRANSP t = {};
    t.byMode = TRANSP_CHROMAKEY;
    t.clrChromakey = key;
    t.bChromakeySoft = soft;
    t.dwChromakeyDev = dev;
    EXPECT_EQ(image.setTransparency(t, nullptr), 1);
    EXPECT_EQ(image.getBuffer()[0] & 0x00FFFFFFu, pixel & 0x00FFFFFFu);
    return image.getBuffer()[0] >> 24;
}

// A grey pixel (0, d, 0) lies at distance d from black for d up to 255.
TVN_DWORD atDistance(unsigned d) {
    return tvnRGBA(0, static_cast<unsigned char>(d), 0, 0x55);
}

TEST(Chromakey, WorkedValues) {
    const TVN_DWORD key = tvnRGBA(10, 200, 30, 0);
    EXPECT_EQ(keyed(key | 0xFF000000u, key, 0, 0), 0u);
    EXPECT_EQ(keyed(key + 1, key, 0, 0), 255u);
    EXPECT_EQ(keyed(key, key, 1, 0), 0u); // soft with D = 0 acts as hard
    EXPECT_EQ(keyed(key + 1, key, 1, 0), 255u);

    const unsigned soft100[][2] = {{0, 0}, {1, 2}, {50, 127}, {100, 254}, {101, 255}};
    for (const auto& c : soft100) EXPECT_EQ(keyed(atDistance(c[0]), 0, 1, 100), c[1]) << c[0];
    EXPECT_EQ(keyed(atDistance(255), 0, 1, 255), 255u);
    EXPECT_EQ(keyed(atDistance(127), 0, 1, 255), 127u);

    // Only the key's colour bytes count.
    EXPECT_EQ(keyed(atDistance(3), 0xAB000000u, 0, 3), 0u);
    EXPECT_EQ(keyed(atDistance(4), 0xAB000000u, 0, 3), 255u);
    // D = 441 (or more) keys every colour.
    EXPECT_EQ(keyed(0x00FFFFFFu, 0, 0, 441), 0u);
    EXPECT_EQ(keyed(0x00FFFFFFu, 0, 0, 0xFFFFFFFFu), 0u);
}

TEST(Chromakey, VectorRootEqualsDoubleRootForEverySquaredDistance) {
    tvntest::forEachLevel([](tvn::pixel::cpu::Level level) {
        for (TVN_DWORD n = 0; n <= kMaxSquaredDistance; ++n)
            ASSERT_EQ(chromakeyKernels(level).root(n), static_cast<TVN_DWORD>(std::sqrt(static_cast<double>(n)))) << n;
    });
}

// Every vector path on the pixels gives what the reference gives.
void expectPathsMatchReference(const std::vector<TVN_DWORD>& pixels, const ChromakeySettings& s) {
    std::vector<TVN_DWORD> ref = pixels;
    chromakeyReference(ref.data(), ref.size(), s);
    tvntest::forEachLevel([&](tvn::pixel::cpu::Level level) {
        std::vector<TVN_DWORD> got = pixels;
        chromakeyKernels(level).run(got.data(), got.size(), s);
        auto bad = std::mismatch(got.begin(), got.end(), ref.begin());
        ASSERT_TRUE(bad.first == got.end()) << "pixel " << std::hex << pixels[bad.first - got.begin()] << " deviation "
                                            << std::dec << s.deviation << " soft " << s.soft;
    });
}

// Every colour against black covers every channel difference a pair can have.
TEST(Chromakey, VectorPathsEqualReferenceForEveryColour) {
    std::vector<TVN_DWORD> all(1u << 24);
    for (TVN_DWORD c = 0; c < all.size(); ++c) all[c] = c | ((c * 37u) << 24);
    for (ChromakeySettings s : {ChromakeySettings{0xFF000000u, 1, 300}, ChromakeySettings{0x00807F81u, 0, 97}})
        expectPathsMatchReference(all, s);
}

// The alpha rule for every distance 0..441 and every deviation up to past the
// largest distance, hard and soft, through the whole kernels.
TEST(Chromakey, VectorPathsEqualReferenceForEveryDistanceAndDeviation) {
    std::vector<TVN_DWORD> byDistance(442, 0xFFFFFFFFu);
    for (unsigned g = 0; g < 256; ++g)
        for (unsigned b = 0; b < 256; ++b) {
            TVN_DWORD c = tvnRGBA(255, static_cast<unsigned char>(g), static_cast<unsigned char>(b), 0x80);
            byDistance[tvnGetColorDist(c, 0)] = c;
        }
    for (unsigned d = 0; d < 256; ++d) byDistance[d] = atDistance(d);
    for (TVN_DWORD c : byDistance) ASSERT_NE(c, 0xFFFFFFFFu);
    std::vector<TVN_DWORD> devs = {1000u, 0x7FFFFFFFu, 0x80000000u, 0xFF000000u, 0xFFFFFFFFu};
    for (TVN_DWORD d = 0; d <= 460; ++d) devs.push_back(d);
    for (TVN_DWORD dev : devs)
        for (int soft : {0, 1, -3}) expectPathsMatchReference(byDistance, ChromakeySettings{0, soft, dev});
}

} // namespace
