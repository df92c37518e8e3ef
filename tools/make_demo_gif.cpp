// A minimal GIF encoder for the demo pictures: one interlaced 8-bit image with
// a global colour table, LZW-coded.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "make_demo.h"

namespace demo {
namespace {

// Palette: 216 colours of a 6 x 6 x 6 cube, then 40 greys.
std::vector<unsigned char> palette() {
    std::vector<unsigned char> p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.insert(p.end(), {static_cast<unsigned char>(r * 51), static_cast<unsigned char>(g * 51),
                                   static_cast<unsigned char>(b * 51)});
    for (int i = 0; i < 40; ++i) {
        const unsigned char v = static_cast<unsigned char>(i * 255 / 39);
        p.insert(p.end(), {v, v, v});
    }
    return p;
}

// Ordered dithering into the cube (greys of the ramp where r = g = b).
std::vector<unsigned char> indices(const CCanvas& canvas) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const std::vector<unsigned char> rgb = canvas.bytes(false);
    std::vector<unsigned char> out(static_cast<std::size_t>(canvas.width()) * canvas.height());
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * canvas.width() + x;
            const unsigned char* p = &rgb[i * 3];
            const float t = (bayer[y & 3][x & 3] + 0.5f) / 16;
            if (p[0] == p[1] && p[1] == p[2]) {
                out[i] = static_cast<unsigned char>(216 + static_cast<int>(p[0] * 39 / 255.f + t));
                continue;
            }
            int level[3];
            for (int c = 0; c < 3; ++c) {
                level[c] = static_cast<int>(p[c] / 51.f + t);
                level[c] = level[c] > 5 ? 5 : level[c];
            }
            out[i] = static_cast<unsigned char>(level[0] * 36 + level[1] * 6 + level[2]);
        }
    return out;
}

class CBitWriter {
public:
    void put(unsigned code, int bits) {
        m_acc |= static_cast<std::uint32_t>(code) << m_bits;
        m_bits += bits;
        while (m_bits >= 8) {
            m_bytes.push_back(static_cast<unsigned char>(m_acc));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    std::vector<unsigned char> finish() {
        if (m_bits)
            m_bytes.push_back(static_cast<unsigned char>(m_acc));
        return m_bytes;
    }

private:
    std::vector<unsigned char> m_bytes;
    std::uint32_t m_acc = 0;
    int m_bits = 0;
};

// LZW with 8-bit roots: clear 256, end 257, codes up to 12 bits, a clear code
// whenever the table is full.
std::vector<unsigned char> lzw(const std::vector<unsigned char>& data) {
    const unsigned kClear = 256, kEnd = 257;
    std::vector<int> table(4096 * 256, -1); // (prefix code, byte) -> code
    CBitWriter out;
    unsigned next = kEnd + 1;
    int size = 9;
    out.put(kClear, size);
    int prefix = -1;
    for (unsigned char c : data) {
        if (prefix < 0) {
            prefix = c;
            continue;
        }
        const std::size_t key = static_cast<std::size_t>(prefix) * 256 + c;
        if (table[key] >= 0) {
            prefix = table[key];
            continue;
        }
        out.put(static_cast<unsigned>(prefix), size);
        if (next < 4096) {
            table[key] = static_cast<int>(next++);
            if (next > (1u << size) && size < 12)
                ++size;
        } else {
            out.put(kClear, size);
            std::fill(table.begin(), table.end(), -1);
            next = kEnd + 1;
            size = 9;
        }
        prefix = c;
    }
    if (prefix >= 0)
        out.put(static_cast<unsigned>(prefix), size);
    out.put(kEnd, size);
    return out.finish();
}

void put16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

} // namespace

bool writeInterlacedGIF(const std::string& path, const CCanvas& canvas) {
    const int w = canvas.width(), h = canvas.height();
    const std::vector<unsigned char> pixels = indices(canvas);
    // The four interlace passes: every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
    std::vector<unsigned char> ordered;
    const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = starts[pass]; y < h; y += steps[pass])
            ordered.insert(ordered.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y) * w,
                           pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * w);
    std::vector<unsigned char> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, static_cast<unsigned>(w));
    put16(out, static_cast<unsigned>(h));
    out.insert(out.end(), {0xF7, 0, 0}); // global table of 256 colours, 8-bit resolution
    const std::vector<unsigned char> colours = palette();
    out.insert(out.end(), colours.begin(), colours.end());
    out.push_back(0x2C); // image descriptor
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<unsigned>(w));
    put16(out, static_cast<unsigned>(h));
    out.push_back(0x40); // interlaced, no local table
    out.push_back(8);    // LZW minimum code size
    const std::vector<unsigned char> coded = lzw(ordered);
    for (std::size_t at = 0; at < coded.size(); at += 255) {
        const std::size_t n = coded.size() - at < 255 ? coded.size() - at : 255;
        out.push_back(static_cast<unsigned char>(n));
        out.insert(out.end(), coded.begin() + static_cast<std::ptrdiff_t>(at),
                   coded.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);    // end of the image data
    out.push_back(0x3B); // trailer
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace demo
