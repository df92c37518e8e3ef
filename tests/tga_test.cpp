// TGA: the writer's exact bytes and failures, and the reader on files made byte
// by byte: depths, run-length packets through the 512-byte read-ahead (checked
// against a model of getNextByte, buffer state included), refusals, truncation
// and odd depths. The four origins are checked
// on the real files of the corpus (manifest_test), pixel for pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "image/image_access.h"
#include "support/faults.h"
#include "support/files.h"
#include "support/helpers.h"

namespace {

using tvntest::Bytes;
using tvntest::Tga;
using tvntest::tgaFile;
using Words = std::vector<TVN_DWORD>;

struct Read {
    int result = 0;
    std::vector<int> messages;
    Words pixels;
    int alpha = 0;
    int readLast = 0, readNext = 0;
    Bytes readBuf;
};

Read readTga(CRGBAImage& image, const Bytes& file) {
    Read r;
    r.result = tvntest::readWith(&tvn::ImageAccess::readTGA, image, file, &r.messages);
    r.alpha = image.containsAlpha();
    if (r.result) r.pixels = tvntest::pixelsOf(image);
    r.readLast = tvn::ImageAccess::readLast(image);
    r.readNext = tvn::ImageAccess::readNext(image);
    const unsigned char* buf = tvn::ImageAccess::readBuf(image);
    r.readBuf.assign(buf, buf + 512);
    return r;
}

Read readTga(const Bytes& file) {
    CRGBAImage image;
    return readTga(image, file);
}

// The model: one pixel value as the format defines it.
TVN_DWORD modelValue(const unsigned char* p, unsigned depth) {
    if (depth == 16) {
        unsigned v = p[0] | (p[1] << 8);
        auto s = [](unsigned f) { return static_cast<TVN_DWORD>(f * 255 / 31); };
        return 0xFF000000u | (s(v & 31) << 16) | (s((v >> 5) & 31) << 8) | s((v >> 10) & 31);
    }
    TVN_DWORD a = depth == 32 ? p[3] : 255;
    return (a << 24) | (TVN_DWORD(p[0]) << 16) | (TVN_DWORD(p[1]) << 8) | p[2];
}

unsigned valueBytes(unsigned depth) {
    return depth == 16 ? 2 : depth == 32 ? 4 : 3;
}

// Decodes packets byte by byte; *consumed receives the bytes taken.
Words modelRle(const Bytes& data, std::size_t pixels, unsigned depth, std::size_t* consumed) {
    Words out;
    std::size_t pos = 0;
    const unsigned vb = valueBytes(depth);
    while (out.size() < pixels) {
        const unsigned h = data.at(pos++);
        const std::size_t n = std::min<std::size_t>((h & 0x7F) + 1, pixels - out.size());
        for (std::size_t i = 0; i < n; ++i) {
            if (!(h & 0x80) || i == 0) pos += vb;
            if (pos > data.size()) throw 2;
            out.push_back(modelValue(&data[pos - vb], depth));
        }
    }
    *consumed = pos;
    return out;
}

// Random packets for `pixels` pixels; runs and literals of every length.
Bytes randomPackets(std::mt19937& rng, std::size_t pixels, unsigned depth) {
    Bytes d;
    std::size_t done = 0;
    while (done < pixels) {
        std::size_t n = 1 + rng() % 128;
        bool run = rng() % 2;
        d.push_back(static_cast<unsigned char>((run ? 0x80 : 0) | (n - 1)));
        for (std::size_t i = 0; i < (run ? 1 : n) * valueBytes(depth); ++i) d.push_back(static_cast<unsigned char>(rng()));
        done += n;
    }
    return d;
}

// What the read-ahead holds once `consumed` bytes of the data (after the header
// and the ID field) were handed out in 512-byte reads: a short last read leaves
// the bytes of the read before it behind its own (zero after the first).
void expectReadAhead(const Read& r, const Bytes& file, std::size_t start, std::size_t consumed) {
    const std::size_t chunk = (consumed - 1) / 512;
    const std::size_t from = start + chunk * 512;
    const std::size_t got = std::min<std::size_t>(512, file.size() - from);
    EXPECT_EQ(r.readLast, static_cast<int>(got) - 1);
    EXPECT_EQ(r.readNext, static_cast<int>(consumed - chunk * 512));
    Bytes buf(512, 0);
    if (chunk > 0)
        std::copy(file.begin() + static_cast<long>(from - 512), file.begin() + static_cast<long>(from), buf.begin());
    std::copy(file.begin() + static_cast<long>(from), file.begin() + static_cast<long>(from + got), buf.begin());
    EXPECT_EQ(r.readBuf, buf);
}

// Depth-16 packets of exactly `length` bytes (at least 5): runs of 3 bytes and
// one literal of 2 or 3 pixels (5 or 7 bytes) first or last for the rest.
Bytes packetsOfLength(std::mt19937& rng, std::size_t length, std::size_t* pixels) {
    const std::size_t literal = length % 3 == 0 ? 0 : length % 3 == 2 ? 2 : 3;
    Bytes runs, lit;
    *pixels = literal;
    if (literal) lit.push_back(static_cast<unsigned char>(literal - 1));
    for (std::size_t i = 0; i < 2 * literal; ++i) lit.push_back(static_cast<unsigned char>(rng()));
    while (runs.size() + lit.size() < length) {
        runs.insert(runs.end(), {static_cast<unsigned char>(0x80 | rng() % 128), static_cast<unsigned char>(rng()),
                                 static_cast<unsigned char>(rng())});
        *pixels += (runs[runs.size() - 3] & 0x7F) + 1;
    }
    const bool first = rng() % 2;
    runs.insert(first ? runs.begin() : runs.end(), lit.begin(), lit.end());
    return runs;
}

} // namespace

TEST(TgaReader, FilesMadeByHand) {
    const Bytes px(64, 1);
    struct Case {
        const char* what;
        Bytes file;
        Words pixels; // empty: refused
        int alphaOrMessage;
    };
    std::vector<Case> cases = {
        {"run fills the picture", tgaFile({16, 8, 24, 10, 0, 0, 0, {0xFF, 1, 2, 3}, true}), Words(128, 0xFF010203u), 0},
        {"run cut at the end", tgaFile({4, 1, 24, 10, 0, 0, 0, {0x87, 1, 2, 3}, true}), Words(4, 0xFF010203u), 0},
        {"literal read as far as it fits", tgaFile({2, 1, 24, 10, 0, 0, 0, {0x05, 1, 2, 3, 4, 5, 6}, true}),
         {0xFF010203u, 0xFF040506u}, 0},
        // Odd depths: blue, green, red are the first three bytes of a pixel of
        // depth / 8 bytes (at least 3 in run values); a byte past the data reads as 0.
        {"depth 17", tgaFile({2, 1, 17, 2, 0, 0, 0, {1, 2, 3, 4}, true}), {0xFF010203u, 0xFF030400u}, 0},
        {"depth 40", tgaFile({2, 1, 40, 2, 0, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}), {0xFF010203u, 0xFF060708u}, 0},
        {"depth 33, no alpha", tgaFile({1, 1, 33, 2, 0, 0, 0, {1, 2, 3, 4}, true}), {0xFF010203u}, 0},
        {"20-byte file", Bytes(20, 0), {}, 2},
        {"colour-mapped", tgaFile({4, 4, 8, 1, 0, 1, 0, px}), {}, 4},
        {"grey-scale", tgaFile({4, 4, 8, 3, 0, 0, 0, px}), {}, 4},
        {"run-length grey-scale, 16 bits", tgaFile({4, 4, 16, 11, 0, 0, 0, px}), {}, 4},
        {"depth 15", tgaFile({4, 4, 15, 2, 0, 0, 0, px}), {}, 4},
        {"true colour with a colour map", tgaFile({4, 4, 24, 2, 0, 1, 0, px}), {}, 4},
        {"colour-mapped at depth 24", tgaFile({4, 4, 24, 1, 0, 1, 0, px}), {}, 4},
        // The buffer is allocated before the depth is checked.
        {"65535 x 65535 grey-scale", tgaFile({65535, 65535, 8, 3, 0, 0, 0, px}), {}, 1},
        {"short plain pixels", tgaFile({5, 4, 32, 2, 0, 0, 0, px}), {}, 2},
    };
    // A value at each depth, plain and as a run of two; 32 bits always mark alpha.
    const struct {
        unsigned depth;
        Bytes value;
        TVN_DWORD word;
    } values[] = {
        {16, {0xFF, 0x7F}, 0xFFFFFFFFu},       {16, {0x1F, 0x00}, 0xFFFF0000u},
        {16, {0x00, 0x80}, 0xFF000000u},       {16, {0x00, 0x7C}, 0xFF0000FFu},
        {24, {0x10, 0x20, 0x30}, 0xFF102030u}, {32, {0x10, 0x20, 0x30, 0x40}, 0x40102030u},
        {32, {0x10, 0x20, 0x30, 0xFF}, 0xFF102030u},
    };
    for (const auto& v : values) {
        Bytes raw = v.value, rle = {0x81};
        raw.insert(raw.end(), v.value.begin(), v.value.end());
        rle.insert(rle.end(), v.value.begin(), v.value.end());
        const int alpha = v.depth == 32;
        cases.push_back({"plain value", tgaFile({2, 1, v.depth, 2, 0, 0, 0, raw, true}), {v.word, v.word}, alpha});
        cases.push_back({"run value", tgaFile({2, 1, v.depth, 10, 0, 0, 0, rle, true}), {v.word, v.word}, alpha});
    }
    // (Every 5-bit field value, truncated x * 255 / 31, comes by in the random
    // 16-bit files of the model test below.)
    for (const Case& c : cases) {
        Read r = readTga(c.file);
        const bool refused = c.pixels.empty();
        EXPECT_EQ(r.result, refused ? 0 : 1) << c.what;
        EXPECT_EQ(r.pixels, c.pixels) << c.what;
        EXPECT_EQ(r.messages, refused ? std::vector<int>{c.alphaOrMessage} : std::vector<int>{}) << c.what;
        if (!refused) { EXPECT_EQ(r.alpha, c.alphaOrMessage) << c.what; }
    }
}

// Random files, then depth-16 data of lengths that end on and next to the
// 512-byte read boundaries. A file that ends with the last byte the picture needs
// cannot be read one byte shorter.
TEST(TgaReader, RunLengthFilesMatchTheModelWithTheReadAheadState) {
    std::mt19937 rng(3);
    std::vector<Tga> files;
    for (int round = 0; round < 300; ++round) {
        const unsigned depth = std::vector<unsigned>{16, 24, 32, 17, 40}[rng() % 5];
        const TVN_DWORD w = 1 + rng() % 60, h = 1 + rng() % 30;
        Tga t{w, h, depth, 10};
        t.idLength = rng() % 3 == 0 ? rng() % 256 : 0;
        t.data = randomPackets(rng, std::size_t(w) * h, depth);
        t.footer = rng() % 2 || t.data.size() + t.idLength < 8; // files are at least 26 bytes
        files.push_back(t);
    }
    for (std::size_t length : {511u, 512u, 513u, 1023u, 1024u, 1025u})
        for (unsigned id : {0u, 1u, 255u})
            for (int variant = 0; variant < 10; ++variant) {
                std::size_t pixels = 0;
                Tga t{0, 1, 16, 10};
                t.idLength = id;
                t.data = packetsOfLength(rng, length, &pixels);
                ASSERT_EQ(t.data.size(), length);
                ASSERT_LE(pixels, 65535u);
                t.width = static_cast<TVN_DWORD>(pixels);
                files.push_back(t);
            }
    CRGBAImage reused; // a second file read into the same image decodes independently
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Tga& t = files[i];
        Bytes file = tgaFile(t);
        std::size_t consumed = 0;
        const Words expected = modelRle(t.data, std::size_t(t.width) * t.height, t.depth, &consumed);
        Read r = readTga(file);
        ASSERT_EQ(r.result, 1) << i;
        ASSERT_EQ(r.pixels, expected) << i;
        expectReadAhead(r, file, 18 + t.idLength, consumed);
        Read again = readTga(reused, file);
        ASSERT_EQ(again.pixels, expected) << i;
        expectReadAhead(again, file, 18 + t.idLength, consumed);
        if (t.footer || consumed < t.data.size()) continue;
        file.pop_back();
        Read cut = readTga(file);
        EXPECT_EQ(cut.result, 0) << i;
        EXPECT_EQ(cut.messages, std::vector<int>{2}) << i;
    }
}

TEST(TgaReader, TruncationIsMessageTwo) {
    std::mt19937 rng(8);
    Tga rle{5, 4, 32, 10};
    rle.data = randomPackets(rng, 20, 32);
    std::size_t used = 0;
    modelRle(rle.data, 20, 32, &used);
    rle.data.resize(used); // the bytes the last pixel needs, and no more
    Tga raw{3, 3, 24, 2};
    raw.data.resize(27, 0x55);
    for (const Tga& t : {rle, raw}) {
        const Bytes full = tgaFile(t);
        ASSERT_EQ(readTga(full).result, 1);
        for (std::size_t n = 0; n < full.size(); ++n) {
            Read r = readTga(Bytes(full.begin(), full.begin() + static_cast<long>(n)));
            EXPECT_EQ(r.result, 0) << n;
            EXPECT_EQ(r.messages, std::vector<int>{2}) << n;
        }
    }
}

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
    tvntest::failAllocations(1);
    EXPECT_EQ(image.saveTGA(file.path()), 0);
    tvntest::endFaults();
    EXPECT_EQ(file.read(), (Bytes{1, 2, 3}));
}
