// The image object: construction, deep copies, assignment, the run-length
// constructor and what every allocation failure leaves behind.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/image_access.h"
#include "pixel/heap.h"
#include "support/helpers.h"

using tvn::ImageAccess;
using tvntest::pixelsOf;

namespace {

std::vector<unsigned char> packRun(int n, TVN_DWORD pel) {
    return {static_cast<unsigned char>(0x80 | (n - 1)), static_cast<unsigned char>(pel >> 24),
            static_cast<unsigned char>(pel >> 16), static_cast<unsigned char>(pel >> 8),
            static_cast<unsigned char>(pel)};
}

// An image in the "resized" state: it has an untouched copy and saved alpha.
void makeResizedState(CRGBAImage& image) {
    TVN_DWORD w = image.getWidth(), h = image.getHeight();
    auto& orig = ImageAccess::origBuffer(image);
    orig = static_cast<TVN_DWORD*>(tvn::heapAlloc(w * h * 4));
    for (TVN_DWORD i = 0; i < w * h; ++i) orig[i] = 0xAB000000u + i;
    auto& alpha = ImageAccess::savedAlpha(image);
    alpha = static_cast<unsigned char*>(tvn::heapAlloc(w * h));
    for (TVN_DWORD i = 0; i < w * h; ++i) alpha[i] = static_cast<unsigned char>(i * 7);
}

} // namespace

TEST(ImageObject, Defaults) {
    CRGBAImage image;
    EXPECT_EQ(image.getBuffer(), nullptr);
    EXPECT_EQ(image.getWidth() + image.getHeight() + image.getWidthOrig() + image.getHeightOrig(), 0u);
    EXPECT_STREQ(image.getFileName(), "");
    EXPECT_STREQ(image.getMaskFileName(), "");
    EXPECT_EQ(image.containsAlpha(), 0);
    EXPECT_EQ(image.getBlurKrnlSize(), 0u);
    IMG_TRANSP expected{};
    expected.byMode = TRANSP_ORIGINAL;
    EXPECT_EQ(std::memcmp(&image.getTransparency(), &expected, sizeof expected), 0);
    EXPECT_EQ(ImageAccess::readFile(image), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ImageAccess::readLast(image), -1);
    EXPECT_EQ(ImageAccess::resizeFilter(image), CRGBAImage::BoxFilter);

    CRGBAImage blank(3, 2);
    EXPECT_EQ(pixelsOf(blank), std::vector<TVN_DWORD>(6, 0u));
    EXPECT_EQ(blank.getWidthOrig(), 3u);
    EXPECT_EQ(blank.getHeightOrig(), 2u);

    const TVN_DWORD words[2] = {0x80FFFFFFu, 0x12345678u};
    CRGBAImage fromWords(words, 2, 1);
    EXPECT_EQ(pixelsOf(fromWords), std::vector<TVN_DWORD>(words, words + 2));
    EXPECT_EQ(fromWords.containsAlpha(), 0) << "raw words never set containsAlpha";
}

TEST(ImageObject, CopyIsDeepAndComplete) {
    auto px = tvntest::randomPixels(4, 3, 1);
    CRGBAImage source(px.data(), 4, 3);
    makeResizedState(source);
    std::strcpy(ImageAccess::fileName(source), "a.tga");
    std::strcpy(ImageAccess::maskFileName(source), "m.bmp");
    ImageAccess::transp(source).byMode = TRANSP_CHROMAKEY;
    ImageAccess::blurSize(source) = 3;
    ImageAccess::resizeFilter(source) = 5;
    ImageAccess::containsAlpha(source) = 1;
    ImageAccess::readBuf(source)[7] = 42;
    ImageAccess::readLast(source) = 9;

    CRGBAImage copy(source);
    EXPECT_EQ(pixelsOf(copy), px);
    EXPECT_NE(copy.getBuffer(), source.getBuffer());
    EXPECT_NE(ImageAccess::origBuffer(copy), ImageAccess::origBuffer(source));
    EXPECT_EQ(std::memcmp(ImageAccess::origBuffer(copy), ImageAccess::origBuffer(source), 48), 0);
    EXPECT_EQ(std::memcmp(ImageAccess::savedAlpha(copy), ImageAccess::savedAlpha(source), 12), 0);
    EXPECT_STREQ(copy.getFileName(), "a.tga");
    EXPECT_STREQ(copy.getMaskFileName(), "m.bmp");
    EXPECT_EQ(copy.getTransparency().byMode, TRANSP_CHROMAKEY);
    EXPECT_EQ(copy.getBlurKrnlSize(), 3u);
    EXPECT_EQ(ImageAccess::resizeFilter(copy), 5);
    EXPECT_EQ(copy.containsAlpha(), 1);
    EXPECT_EQ(ImageAccess::readBuf(copy)[7], 42) << "the copy constructor keeps the read-ahead state";
    EXPECT_EQ(ImageAccess::readLast(copy), 9);

    copy.getBuffer()[0] ^= 1;
    ImageAccess::origBuffer(copy)[0] ^= 1;
    EXPECT_EQ(pixelsOf(source), px) << "changing the copy must not change the source";
    EXPECT_EQ(ImageAccess::origBuffer(source)[0], 0xAB000000u);
}

TEST(ImageObject, AssignmentCopiesPictureButKeepsOwnReadAhead) {
    auto px = tvntest::randomPixels(5, 2, 2);
    CRGBAImage b(px.data(), 5, 2);
    makeResizedState(b);
    std::strcpy(ImageAccess::fileName(b), "b.gif");
    ImageAccess::transp(b).byConstTransp = 77;
    ImageAccess::readLast(b) = 100;

    CRGBAImage a(1, 1);
    ImageAccess::readLast(a) = 3;
    char* nameBuffer = ImageAccess::fileName(a);
    a = b;
    EXPECT_EQ(pixelsOf(a), px);
    EXPECT_EQ(a.getWidthOrig(), 5u);
    EXPECT_STREQ(a.getFileName(), "b.gif");
    EXPECT_EQ(ImageAccess::fileName(a), nameBuffer) << "names are copied into the existing buffers";
    EXPECT_EQ(a.getTransparency().byConstTransp, 77);
    EXPECT_EQ(ImageAccess::readLast(a), 3);
    b.getBuffer()[1] = 0;
    EXPECT_EQ(pixelsOf(a), px);

    CRGBAImage plain(2, 2);
    a = plain;
    EXPECT_EQ(ImageAccess::origBuffer(a), nullptr) << "no untouched copy in the source, none in the target";
    EXPECT_EQ(ImageAccess::savedAlpha(a), nullptr);

    a = a;
    EXPECT_EQ(a.getWidth(), 2u);
    EXPECT_NE(a.getBuffer(), nullptr);
}

TEST(ImageObject, RunLengthConstructorDecodes) {
    std::vector<unsigned char> run = {0x83, 0xFF, 0x01, 0x02, 0x03};
    CRGBAImage opaque(run.data(), static_cast<TVN_DWORD>(run.size()), 2, 2);
    EXPECT_EQ(pixelsOf(opaque), std::vector<TVN_DWORD>(4, 0xFF010203u));
    EXPECT_EQ(opaque.containsAlpha(), 0);

    run[1] = 0x80;
    CRGBAImage translucent(run.data(), static_cast<TVN_DWORD>(run.size()), 2, 2);
    EXPECT_EQ(pixelsOf(translucent), std::vector<TVN_DWORD>(4, 0x80010203u));
    EXPECT_EQ(translucent.containsAlpha(), 1);

    const std::vector<unsigned char> literal = {0x01, 0xFF, 1, 2, 3, 0xFE, 4, 5, 6};
    CRGBAImage two(literal.data(), static_cast<TVN_DWORD>(literal.size()), 2, 1);
    EXPECT_EQ(pixelsOf(two), (std::vector<TVN_DWORD>{0xFF010203u, 0xFE040506u}));
    EXPECT_EQ(two.containsAlpha(), 1);

    // Packets may cross rows when decoding; the stream only has to cover w x h.
    auto mixed = packRun(3, 0xFF000001u);
    mixed.insert(mixed.end(), {0x00, 0xFF, 9, 9, 9});
    CRGBAImage crossing(mixed.data(), static_cast<TVN_DWORD>(mixed.size()), 2, 2);
    EXPECT_EQ(pixelsOf(crossing), (std::vector<TVN_DWORD>{1u | 0xFF000000u, 0xFF000001u, 0xFF000001u, 0xFF090909u}));
}

TEST(ImageObject, CorruptStreamsThrowTheEmptyText) {
    const std::vector<std::vector<unsigned char>> corrupt = {
        {},                                   // nothing at all
        {0x83, 0xFF, 0x01, 0x02},             // run pixel cut short
        {0x82, 0xFF, 0x01, 0x02, 0x03},       // covers 3 of 4 pixels
        {0x84, 0xFF, 0x01, 0x02, 0x03},       // 5 pixels for 4
        {0x03, 0xFF, 1, 2, 3, 0xFF, 1, 2, 3}, // literal of 4 with only 2 pixels
        {0x7F},                               // literal of 128 for 4
    };
    for (const auto& stream : corrupt) {
        bool threwEmpty = false;
        try {
            CRGBAImage image(stream.data(), static_cast<TVN_DWORD>(stream.size()), 2, 2);
        } catch (char* text) {
            threwEmpty = text && text[0] == 0;
        }
        EXPECT_TRUE(threwEmpty) << "stream of " << stream.size() << " bytes";
    }
    // An empty picture needs no data.
    CRGBAImage empty(static_cast<const unsigned char*>(nullptr), 0, 0, 5);
    EXPECT_EQ(empty.getWidth(), 0u);
}

TEST(ImageObject, OverflowingSizesAreAllocationFailures) {
    const std::string outOfMemory = tvntest::MessageRecorder::expectedText(1);
    auto expectMessage1 = [&](auto make) {
        try {
            make();
            ADD_FAILURE() << "no exception";
        } catch (char* text) {
            EXPECT_EQ(std::string(text), outOfMemory);
        }
    };
    expectMessage1([] { CRGBAImage i(0x10000u, 0x10000u); });
    expectMessage1([] { CRGBAImage i(0x40000000u, 1u); });
    const unsigned char run[] = {0xFF, 0xFF, 0, 0, 0};
    expectMessage1([&] { CRGBAImage i(run, 5, 0x8000u, 0x8001u); });
}

// Walks every allocation of each operation: the n-th failing must throw
// message 1 (or give the documented result), leak nothing and leave the
// source and target intact. ASan's leak checker watches the leaks.
TEST(ImageObject, EveryAllocationFailureIsClean) {
    const std::string outOfMemory = tvntest::MessageRecorder::expectedText(1);
    auto px = tvntest::randomPixels(3, 3, 5);
    CRGBAImage source(px.data(), 3, 3);
    makeResizedState(source);
    CRGBAImage target(2, 1);
    target.getBuffer()[0] = 0x11223344u;
    std::vector<unsigned char> stream = packRun(9, 0xFF00FF00u);

    for (unsigned long n = 1; n <= 8; ++n) {
        tvn::testing::failAllocation(n);
        try {
            CRGBAImage copy(source);
        } catch (char* text) {
            EXPECT_EQ(std::string(text), outOfMemory);
        }
        tvn::testing::failAllocation(n);
        try {
            target = source;
        } catch (char* text) {
            EXPECT_EQ(std::string(text), outOfMemory);
            EXPECT_EQ(target.getWidth(), 2u) << "a failed assignment leaves the target as it was";
            EXPECT_EQ(target.getBuffer()[0], 0x11223344u);
        }
        tvn::testing::failAllocation(n);
        try {
            CRGBAImage unpacked(stream.data(), static_cast<TVN_DWORD>(stream.size()), 3, 3);
        } catch (char* text) {
            EXPECT_EQ(std::string(text), outOfMemory);
        }
        tvn::testing::failAllocation(0);
    }
    EXPECT_EQ(pixelsOf(source), px);
}
