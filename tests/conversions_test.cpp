// Colour conversions, 24/32-bit exports, and the vector loops behind them proven
// equal to their scalar references. (The packer's scans are proven on every
// level against a second encoder in rle_test.)
#include <gtest/gtest.h>

#include <vector>

#include "image/image_access.h"
#include "pixel/rows.h"
#include "image/rebuild.h"
#include "support/helpers.h"
#include "support/levels.h"

using tvn::ImageAccess;
using tvntest::pixelsOf;
using tvntest::randomPixels;

namespace {

TVN_DWORD greyOf(TVN_DWORD v) {
    TVN_DWORD y = (9798 * (v & 0xFF) + 19235 * ((v >> 8) & 0xFF) + 3736 * ((v >> 16) & 0xFF)) / 32768;
    return (v & 0xFF000000u) | y | y << 8 | y << 16;
}

} // namespace

TEST(PixelRows, EveryLevelMatchesTheReference) {
    using tvn::pixel::rows::RowKernels;
    const RowKernels& ref = tvn::pixel::rows::rowKernels(tvn::pixel::cpu::Level::Reference);
    tvntest::forEachLevel([&](tvn::pixel::cpu::Level level) {
        const RowKernels& k = tvn::pixel::rows::rowKernels(level);
        for (std::size_t n : {0u, 1u, 3u, 4u, 5u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 33u, 100u, 1027u})
            for (std::size_t shift : {0u, 1u, 3u}) { // misaligned sources and destinations
                SCOPED_TRACE("n=" + std::to_string(n) + " shift=" + std::to_string(shift));
                const std::vector<TVN_DWORD> in = randomPixels(static_cast<TVN_DWORD>(n + shift), 1, unsigned(n));
                const TVN_DWORD* src = in.data() + shift;
                const unsigned char* bytes = reinterpret_cast<const unsigned char*>(in.data()) + shift;

                std::vector<TVN_DWORD> a(src, src + n), b(src, src + n);
                ref.grey(a.data(), n);
                k.grey(b.data(), n);
                EXPECT_EQ(a, b);
                ref.swapRB(a.data(), n);
                k.swapRB(b.data(), n);
                EXPECT_EQ(a, b);
                // Guard words and bytes past the destination catch writes past its end.
                for (auto reader : {&RowKernels::bgrToWords, &RowKernels::bgrxToWords, &RowKernels::bgraToWords,
                                    &RowKernels::bigEndianToWords}) {
                    std::vector<TVN_DWORD> x(n + 9, 0xDEADBEEFu), y(n + 9, 0xDEADBEEFu);
                    (ref.*reader)(bytes, x.data() + shift, n * 3 / 4);
                    (k.*reader)(bytes, y.data() + shift, n * 3 / 4);
                    EXPECT_EQ(x, y);
                }
                for (auto writer : {&RowKernels::wordsToBgra, &RowKernels::wordsToBgr, &RowKernels::wordsToBigEndian}) {
                    std::vector<unsigned char> x(4 * n + 40, 0xCD), y(4 * n + 40, 0xCD);
                    (ref.*writer)(src, x.data() + shift, n);
                    (k.*writer)(src, y.data() + shift, n);
                    EXPECT_EQ(x, y);
                }
                std::vector<unsigned char> packed(4 * n);
                std::vector<TVN_DWORD> back(n);
                ref.wordsToBigEndian(src, packed.data(), n);
                k.bigEndianToWords(packed.data(), back.data(), n);
                EXPECT_EQ(back, std::vector<TVN_DWORD>(src, src + n));
            }
    });
}

TEST(Conversions, GreyAndSwapValues) {
    std::vector<TVN_DWORD> px = {0xFF0000FFu, 0x8000FF00u, 0x00FF0000u, 0x7FFFFFFFu, 0x80332211u};
    CRGBAImage grey(px.data(), 5, 1);
    EXPECT_EQ(grey.convertToGrayscale(), 1);
    EXPECT_EQ(pixelsOf(grey), (std::vector<TVN_DWORD>{0xFF4C4C4Cu, 0x80959595u, 0x001D1D1Du, 0x7FFFFFFFu,
                                                       greyOf(0x80332211u)}));

    CRGBAImage swapped(px.data(), 5, 1);
    EXPECT_EQ(swapped.convertToBGRA(), 1);
    EXPECT_EQ(swapped.getBuffer()[4], 0x80112233u);
    EXPECT_EQ(swapped.convertToBGRA(), 1);
    EXPECT_EQ(pixelsOf(swapped), px);

}

TEST(Conversions, ResizedPicturesConvertTheUntouchedCopyAndRebuild) {
    for (int grey = 0; grey < 2; ++grey) {
        CRGBAImage image(randomPixels(6, 4, 1).data(), 6, 4);
        tvntest::giveUntouchedCopy(image, 3, 5, 2);

        // The expectation: the same conversion by formula, then an independent rebuild.
        CRGBAImage expected(image);
        for (TVN_DWORD i = 0; i < 15; ++i) {
            TVN_DWORD& v = ImageAccess::origBuffer(expected)[i];
            v = grey ? greyOf(v) : ((v & 0xFF00FF00u) | (v & 0xFF) << 16 | ((v >> 16) & 0xFF));
        }
        const int expectedResult = tvn::image::bilinearRebuild(expected);

        EXPECT_EQ(grey ? image.convertToGrayscale() : image.convertToBGRA(), expectedResult);
        EXPECT_EQ(tvntest::snapshot(image), tvntest::snapshot(expected)); // the picture, the copy, the size
    }
}

// The exports are the current pixels (not the untouched copy), blue first, up
// to the picture's end and no further; the picture itself is not converted.
TEST(Conversions, ExportsOfTheCurrentPixels) {
    const std::vector<TVN_DWORD> cur = randomPixels(37, 3, 9);
    CRGBAImage image(cur.data(), 37, 3);
    tvntest::giveUntouchedCopy(image, 2, 2, 1);
    std::vector<unsigned char> b24(37 * 3 * 3 + 2, 0xEE), b32(37 * 3 * 4 + 2, 0xEE), e24, e32;
    for (TVN_DWORD v : cur) {
        e24.insert(e24.end(), {tvnGetBValue(v), tvnGetGValue(v), tvnGetRValue(v)});
        e32.insert(e32.end(), {tvnGetBValue(v), tvnGetGValue(v), tvnGetRValue(v), tvnGetAValue(v)});
    }
    e24.resize(b24.size(), 0xEE);
    e32.resize(b32.size(), 0xEE);
    ASSERT_EQ(image.fillBuffer24bit(b24.data()), 1);
    ASSERT_EQ(image.fillBuffer32bit(b32.data()), 1);
    EXPECT_EQ(b24, e24);
    EXPECT_EQ(b32, e32);
    EXPECT_EQ(pixelsOf(image), cur);
    // Nothing to export or nowhere to put it: 0, and nothing written.
    CRGBAImage none;
    std::vector<unsigned char> untouched(8, 0xEE);
    EXPECT_EQ(none.fillBuffer24bit(untouched.data()), 0);
    EXPECT_EQ(none.fillBuffer32bit(untouched.data()), 0);
    EXPECT_EQ(untouched, std::vector<unsigned char>(8, 0xEE));
    EXPECT_EQ(image.fillBuffer24bit(nullptr), 0);
    EXPECT_EQ(image.fillBuffer32bit(nullptr), 0);
}
