// Drawing of the demo picture generator.
#include <algorithm>
#include <cmath>

#include "make_demo.h"

namespace demo {

CCanvas::CCanvas(int width, int height, COLOUR fill)
    : m_nWidth(width), m_nHeight(height), m_pixels(static_cast<std::size_t>(width) * height, fill) {}

void CCanvas::fill(const std::function<bool(float, float)>& inside,
                   const std::function<COLOUR(float, float)>& colour) {
    for (int y = 0; y < m_nHeight; ++y)
        for (int x = 0; x < m_nWidth; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
            if (!hits)
                continue;
            const COLOUR c = colour(x + 0.5f, y + 0.5f);
            COLOUR& p = at(x, y);
            // Source over destination, with the coverage as extra opacity.
            const float sa = c.a / 255 * hits / 16, da = p.a / 255;
            const float oa = sa + da * (1 - sa);
            if (oa <= 0)
                continue;
            p.r = (c.r * sa + p.r * da * (1 - sa)) / oa;
            p.g = (c.g * sa + p.g * da * (1 - sa)) / oa;
            p.b = (c.b * sa + p.b * da * (1 - sa)) / oa;
            p.a = oa * 255;
        }
}

void CCanvas::grain(float amount, unsigned seed) {
    for (int y = 0; y < m_nHeight; ++y)
        for (int x = 0; x < m_nWidth; ++x) {
            COLOUR& p = at(x, y);
            if (p.a <= 0)
                continue;
            const float n = amount * hashNoise(x, y, seed);
            p.r += n;
            p.g += n;
            p.b += n;
        }
}

std::vector<unsigned char> CCanvas::bytes(bool withAlpha) const {
    std::vector<unsigned char> out;
    auto byte = [](float v) { return static_cast<unsigned char>(std::lround(std::min(255.f, std::max(0.f, v)))); };
    for (const COLOUR& p : m_pixels) {
        out.push_back(byte(p.r));
        out.push_back(byte(p.g));
        out.push_back(byte(p.b));
        if (withAlpha)
            out.push_back(byte(p.a));
    }
    return out;
}

COLOUR mix(const COLOUR& p, const COLOUR& q, float t) {
    t = std::min(1.f, std::max(0.f, t));
    return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}

float hashNoise(int x, int y, unsigned seed) {
    unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 32767.5f - 1;
}

} // namespace demo
