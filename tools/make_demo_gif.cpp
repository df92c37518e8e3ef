// The demo's GIF: one interlaced 8-bit image with a global colour table, dithered
// into a fixed palette and written by the shared GIF encoder.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "gif_encoder.h"
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
std::vector<std::uint16_t> indices(const CCanvas& canvas) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const std::vector<unsigned char> rgb = canvas.bytes(false);
    std::vector<std::uint16_t> out(static_cast<std::size_t>(canvas.width()) * canvas.height());
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * canvas.width() + x;
            const unsigned char* p = &rgb[i * 3];
            const float t = (bayer[y & 3][x & 3] + 0.5f) / 16;
            if (p[0] == p[1] && p[1] == p[2]) {
                out[i] = static_cast<std::uint16_t>(216 + static_cast<int>(p[0] * 39 / 255.f + t));
                continue;
            }
            int level[3];
            for (int c = 0; c < 3; ++c) {
                level[c] = static_cast<int>(p[c] / 51.f + t);
                level[c] = level[c] > 5 ? 5 : level[c];
            }
            out[i] = static_cast<std::uint16_t>(level[0] * 36 + level[1] * 6 + level[2]);
        }
    return out;
}

} // namespace

bool writeInterlacedGIF(const std::string& path, const CCanvas& canvas) {
    const unsigned w = static_cast<unsigned>(canvas.width()), h = static_cast<unsigned>(canvas.height());
    std::vector<unsigned char> out = gifenc::header(w, h, palette());
    const std::vector<std::uint16_t> rows = gifenc::interlaceRows(indices(canvas), w, h);
    gifenc::image(out, 0, 0, w, h, true, {}, 8, gifenc::subBlocks(gifenc::lzwEncode(rows)));
    out.push_back(0x3B); // trailer
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace demo
