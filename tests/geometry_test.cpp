// Geometry: flips of all three buffers, trimming to the visible area, stretching.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/image_access.h"
#include "pixel/heap.h"
#include "support/helpers.h"

using tvn::ImageAccess;
using tvntest::pixelsOf;
using tvntest::randomPixels;

namespace {

std::vector<TVN_DWORD> origOf(CRGBAImage& image) {
    const TVN_DWORD* p = ImageAccess::origBuffer(image);
    return std::vector<TVN_DWORD>(p, p + std::size_t(image.getWidthOrig()) * image.getHeightOrig());
}

std::vector<unsigned char> alphaOf(CRGBAImage& image) {
    const unsigned char* p = ImageAccess::savedAlpha(image);
    return std::vector<unsigned char>(p, p + std::size_t(image.getWidthOrig()) * image.getHeightOrig());
}

// Mirror image by index arithmetic, independent of the library's loops.
template <class T> std::vector<T> mirrored(const std::vector<T>& v, std::size_t w, std::size_t h, bool horizontal) {
    std::vector<T> out(v.size());
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x)
            out[y * w + x] = horizontal ? v[y * w + (w - 1 - x)] : v[(h - 1 - y) * w + x];
    return out;
}

} // namespace

TEST(Geometry, FlipsMirrorAllThreeBuffersAndUndoThemselves) {
    struct Size { TVN_DWORD w, h, ow, oh; } sizes[] = {{1, 1, 1, 1}, {5, 4, 3, 7}, {8, 3, 9, 2}, {17, 9, 4, 4}};
    for (const Size& s : sizes)
        for (bool horizontal : {true, false}) {
            std::vector<TVN_DWORD> px = randomPixels(s.w, s.h, s.w * 7 + s.h);
            CRGBAImage image(px.data(), s.w, s.h);
            tvntest::giveUntouchedCopy(image, s.ow, s.oh, s.ow + 99);
            const auto orig = origOf(image);
            const auto alpha = alphaOf(image);
            horizontal ? image.flipHorizontal() : image.flipVertical();
            EXPECT_EQ(pixelsOf(image), mirrored(px, s.w, s.h, horizontal));
            EXPECT_EQ(origOf(image), mirrored(orig, s.ow, s.oh, horizontal));
            EXPECT_EQ(alphaOf(image), mirrored(alpha, s.ow, s.oh, horizontal));
            horizontal ? image.flipHorizontal() : image.flipVertical();
            EXPECT_EQ(pixelsOf(image), px);
            EXPECT_EQ(origOf(image), orig);
            EXPECT_EQ(alphaOf(image), alpha);
        }
    CRGBAImage empty;
    empty.flipHorizontal();
    empty.flipVertical();
    EXPECT_EQ(empty.getBuffer(), nullptr);
}

// The picture keeps its visible rectangle and becomes its own original; the
// saved alpha of the old original (4 bytes) stays only while it covers the new one.
TEST(Geometry, TrimByAlphaKeepsTheVisibleRectangle) {
    struct Case {
        std::vector<std::pair<TVN_DWORD, TVN_DWORD>> visible; // (column, buffer row)
        TVN_DWORD left, low, w, h, x, y;
        bool keepsAlpha;
    } cases[] = {
        {{{1, 2}}, 1, 2, 1, 1, 1, 2, true},
        {{}, 4, 3, 1, 1, 4, 1, true}, // nothing visible: the last word, column 4, row 3
        {{{0, 0}, {4, 3}}, 0, 0, 5, 4, 0, 1, false},
        {{{3, 1}, {1, 1}, {2, 2}}, 1, 1, 3, 2, 1, 2, false},
    };
    for (const Case& c : cases) {
        std::vector<TVN_DWORD> px = randomPixels(5, 4, 3);
        for (auto& p : px) p &= 0x00FFFFFFu;
        for (auto v : c.visible) px[v.second * 5 + v.first] |= 0x01000000u;
        CRGBAImage image(px.data(), 5, 4);
        tvntest::giveUntouchedCopy(image, 2, 2, 1);
        TVN_DWORD x = 77, y = 77;
        image.trimByAlpha(x, y);
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(c.x, c.y));
        ASSERT_EQ(tvntest::sizesOf(image), (std::vector<TVN_DWORD>{c.w, c.h, c.w, c.h}));
        EXPECT_EQ(ImageAccess::origBuffer(image), nullptr);
        EXPECT_EQ(ImageAccess::savedAlpha(image) != nullptr, c.keepsAlpha) << c.w << " x " << c.h;
        for (TVN_DWORD r = 0; r < c.h; ++r)
            for (TVN_DWORD col = 0; col < c.w; ++col)
                EXPECT_EQ(image.getBuffer()[r * c.w + col], px[(c.low + r) * 5 + c.left + col]);
    }
    CRGBAImage empty(0, 3);
    TVN_DWORD x = 5, y = 6;
    empty.trimByAlpha(x, y);
    EXPECT_EQ(x, 5u);
    EXPECT_EQ(y, 6u);
}

TEST(Geometry, StretchRepeatsTheMiddleColumn) {
    struct Case { std::vector<TVN_DWORD> row; TVN_DWORD width; std::vector<TVN_DWORD> expected; } cases[] = {
        {{1, 2, 3, 4}, 7, {1, 2, 3, 3, 3, 3, 4}},
        {{9}, 3, {9, 9, 9}},
        {{1, 2, 3}, 4, {1, 2, 2, 3}},
        {{1, 2}, 2, {1, 2}}, // not wider: nothing happens
        {{1, 2}, 1, {1, 2}},
    };
    for (const Case& c : cases) {
        const TVN_DWORD w = static_cast<TVN_DWORD>(c.row.size());
        std::vector<TVN_DWORD> px = c.row;
        px.insert(px.end(), c.row.begin(), c.row.end()); // two equal rows
        CRGBAImage image(px.data(), w, 2);
        image.stretchHorizontally(c.width);
        std::vector<TVN_DWORD> expected = c.expected;
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(pixelsOf(image), expected);
        EXPECT_EQ(image.getWidth(), std::max(w, c.width));
        EXPECT_EQ(image.getWidthOrig(), w); // the original width keeps its value
    }
}

TEST(Geometry, StretchKeepsTheSavedAlphaAndSkipsResizedPictures) {
    std::vector<TVN_DWORD> px = {0x10000001u, 0x20000002u, 0x30000003u, 0x40000004u};
    CRGBAImage image(px.data(), 2, 2);
    unsigned char* a = static_cast<unsigned char*>(tvn::pixel::heapAlloc(4));
    std::memcpy(a, "\x01\x02\x03\x04", 4);
    ImageAccess::savedAlpha(image) = a;
    image.stretchHorizontally(4);
    EXPECT_EQ(alphaOf(image), (std::vector<unsigned char>{1, 2, 3, 4}));
    image.flipHorizontal(); // the saved rows keep the original width
    EXPECT_EQ(alphaOf(image), (std::vector<unsigned char>{2, 1, 4, 3}));

    CRGBAImage resized(px.data(), 2, 2);
    tvntest::giveUntouchedCopy(resized, 3, 3, 8);
    resized.stretchHorizontally(9);
    EXPECT_EQ(resized.getWidth(), 2u);
    EXPECT_EQ(pixelsOf(resized), px);

    CRGBAImage narrow(0, 3); // no middle column: transparent black rows
    narrow.stretchHorizontally(2);
    EXPECT_EQ(pixelsOf(narrow), std::vector<TVN_DWORD>(6, 0));
}

// What reads the current picture at the original size takes the wider rows in
// buffer order; the sanitizer build proves nothing is read past a buffer.
TEST(Geometry, AfterAStretchResizeAlphaAndReloadStayInsideTheBuffers) {
    const std::vector<TVN_DWORD> px = randomPixels(4, 3, 21);
    tvntest::TempFile file("stretched.tga");
    CRGBAImage(px.data(), 4, 3).saveTGA(file.path());
    CRGBAImage image;
    ASSERT_EQ(image.load(file.path(), 0), 1);
    image.stretchHorizontally(9);
    CRGBAImage forAlpha(image);
    const std::vector<TVN_DWORD> stretched = pixelsOf(image);
    const std::vector<TVN_DWORD> first12(stretched.begin(), stretched.begin() + 12);
    const std::vector<unsigned char> stream = tvntest::packed(image);
    CRGBAImage unpacked(stream.data(), static_cast<TVN_DWORD>(stream.size()), 4, 3);
    EXPECT_EQ(pixelsOf(unpacked), first12);
    ASSERT_EQ(image.setSize(9, 3, CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_EQ(origOf(image), first12);
    EXPECT_EQ(image.getWidthOrig(), 4u);

    forAlpha.saveAlpha();
    for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(alphaOf(forAlpha)[i], stretched[i] >> 24) << i;
    EXPECT_EQ(forAlpha.restoreAlpha(CRGBAImage::BoxFilter, nullptr, nullptr), 1); // rebuilds: 9 != 4
    EXPECT_EQ(forAlpha.getWidth(), 9u);

    ASSERT_EQ(image.reload(CRGBAImage::BoxFilter, nullptr, nullptr), 1);
    EXPECT_EQ(image.getWidth(), 9u);
    EXPECT_EQ(image.getWidthOrig(), 4u);
    EXPECT_EQ(origOf(image), px); // the file again, resampled to the stretched size
}

