// The image object: deep copies and assignment, the run-length constructor on
// streams the packer never writes, corrupt streams and sizes too large to hold;
// fromHandle on bitmaps the host makes with tvnCreateBitmap: rows of both depths
// on every level, the picture replaced whole, what tvnCreateBitmap refuses.
// (Every failed allocation of these: fault_walk_test.)
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "image/image_access.h"
#include "support/helpers.h"
#include "support/levels.h"

using tvn::ImageAccess;
using tvntest::pixelsOf;


// The copy constructor copies everything, the read-ahead state included;
// assignment copies the picture into the target's own name buffers and keeps
// the target's read-ahead. Both are deep.
TEST(ImageObject, CopyAndAssignmentAreDeep) {
    auto px = tvntest::randomPixels(4, 3, 1);
    CRGBAImage source(px.data(), 4, 3);
    tvntest::giveUntouchedCopy(source, source.getWidth(), source.getHeight(), 77);
    std::strcpy(ImageAccess::fileName(source), "a.tga");
    std::strcpy(ImageAccess::maskFileName(source), "m.bmp");
    ImageAccess::transp(source) = IMG_TRANSP{TRANSP_CHROMAKEY, 77, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ImageAccess::blurSize(source) = 3;
    ImageAccess::resizeFilter(source) = 5;
    ImageAccess::containsAlpha(source) = 1;
    ImageAccess::readBuf(source)[7] = 42;
    ImageAccess::readLast(source) = 9;

    CRGBAImage copy(source), assigned(1, 1);
    ImageAccess::readLast(assigned) = 3;
    char* nameBuffer = ImageAccess::fileName(assigned);
    assigned = source;
    for (CRGBAImage* c : {&copy, &assigned}) {
        EXPECT_EQ(tvntest::snapshot(*c), tvntest::snapshot(source));
        EXPECT_NE(c->getBuffer(), source.getBuffer());
        EXPECT_NE(ImageAccess::origBuffer(*c), ImageAccess::origBuffer(source));
        c->getBuffer()[0] ^= 1;
        ImageAccess::origBuffer(*c)[0] ^= 1;
    }
    EXPECT_EQ(ImageAccess::readBuf(copy)[7], 42);
    EXPECT_EQ(ImageAccess::readLast(copy), 9);
    EXPECT_EQ(ImageAccess::readLast(assigned), 3);
    EXPECT_EQ(ImageAccess::fileName(assigned), nameBuffer);
    EXPECT_EQ(pixelsOf(source), px) << "changing a copy must not change the source";
    EXPECT_EQ(ImageAccess::origBuffer(source)[0], tvntest::randomPixels(4, 3, 77)[0]);

    CRGBAImage plain(2, 2);
    assigned = plain;
    EXPECT_EQ(ImageAccess::origBuffer(assigned), nullptr) << "no untouched copy in the source, none in the target";
    EXPECT_EQ(ImageAccess::savedAlpha(assigned), nullptr);
    assigned = assigned;
    EXPECT_EQ(assigned.getWidth(), 2u);
    EXPECT_NE(assigned.getBuffer(), nullptr);
}

// Round trips through the packer are in rle_test; here what the packer never
// writes: packets across rows, and alpha taken from the stream.
TEST(ImageObject, RunLengthConstructorDecodesWhatThePackerNeverWrites) {
    const std::vector<unsigned char> stream = {0x82, 0xFF, 0, 0, 1, 0x00, 0xFE, 9, 9, 9};
    CRGBAImage image(stream.data(), static_cast<TVN_DWORD>(stream.size()), 2, 2);
    EXPECT_EQ(pixelsOf(image), (std::vector<TVN_DWORD>{0xFF000001u, 0xFF000001u, 0xFF000001u, 0xFE090909u}));
    EXPECT_EQ(image.containsAlpha(), 1);
    CRGBAImage opaque(stream.data(), 5, 3, 1);
    EXPECT_EQ(opaque.containsAlpha(), 0);
    CRGBAImage empty(static_cast<const unsigned char*>(nullptr), 0, 0, 5); // no pixels need no data
    EXPECT_EQ(empty.getWidth(), 0u);
}

// Corrupt streams throw the empty text; sizes beyond 32 bits are allocation
// failures (message 1).
TEST(ImageObject, CorruptStreamsAndOverflowingSizesThrow) {
    const std::string outOfMemory = tvntest::MessageRecorder::expectedText(1);
    const std::vector<std::vector<unsigned char>> corrupt = {
        {},                                   // nothing at all
        {0x83, 0xFF, 0x01, 0x02},             // run pixel cut short
        {0x82, 0xFF, 0x01, 0x02, 0x03},       // covers 3 of 4 pixels
        {0x84, 0xFF, 0x01, 0x02, 0x03},       // 5 pixels for 4
        {0x03, 0xFF, 1, 2, 3, 0xFF, 1, 2, 3}, // literal of 4 with only 2 pixels
        {0x7F},                               // literal of 128 for 4
    };
    const unsigned char run[] = {0xFF, 0xFF, 0, 0, 0};
    std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[] { CRGBAImage i(0x10000u, 0x10000u); }, outOfMemory},
        {[] { CRGBAImage i(0x40000000u, 1u); }, outOfMemory},
        {[&] { CRGBAImage i(run, 5, 0x8000u, 0x8001u); }, outOfMemory},
    };
    for (const auto& stream : corrupt)
        cases.push_back({[stream] { CRGBAImage i(stream.data(), static_cast<TVN_DWORD>(stream.size()), 2, 2); }, ""});
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const char* thrown = nullptr;
        try {
            cases[k].first();
        } catch (char* text) {
            thrown = text;
        }
        ASSERT_NE(thrown, nullptr) << k;
        EXPECT_EQ(std::string(thrown), cases[k].second) << k;
    }
}

namespace {

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
            tvntest::forEachLevel([&](tvn::pixel::cpu::Level) {
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
    tvntest::giveUntouchedCopy(image, 8, 8, 1);
    ImageAccess::containsAlpha(image) = 1;
    ImageAccess::blurSize(image) = 3;
    ImageAccess::resizeFilter(image) = 4;
    ImageAccess::transp(image).byMode = TRANSP_CONST;
    std::vector<unsigned char> rows(8 * 5, 0x40);
    Bitmap bitmap(2, 5, 24, rows, 8);
    ASSERT_EQ(image.fromHandle(bitmap.handle), 1);
    EXPECT_EQ(tvntest::sizesOf(image), (std::vector<TVN_DWORD>{2, 5, 2, 5}));
    EXPECT_EQ(ImageAccess::origBuffer(image), nullptr);
    EXPECT_EQ(ImageAccess::savedAlpha(image), nullptr);
    EXPECT_EQ(image.containsAlpha(), 0);
    EXPECT_EQ(image.getBlurKrnlSize(), 3u);
    EXPECT_EQ(ImageAccess::resizeFilter(image), 4);
    EXPECT_EQ(image.getTransparency().byMode, TRANSP_CONST);
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
