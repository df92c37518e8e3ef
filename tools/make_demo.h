// The demo picture generator: a small canvas with anti-aliased drawing, and
// writers for the file formats the library reads.
#ifndef TIVORN_TOOLS_MAKE_DEMO_H
#define TIVORN_TOOLS_MAKE_DEMO_H

#include <functional>
#include <string>
#include <vector>

namespace demo {

struct COLOUR {
    float r, g, b, a; // 0..255
};

// Rows top first, as the pictures are drawn.
class CCanvas {
public:
    CCanvas(int width, int height, COLOUR fill);
    int width() const { return m_nWidth; }
    int height() const { return m_nHeight; }
    COLOUR& at(int x, int y) { return m_pixels[static_cast<std::size_t>(y) * m_nWidth + x]; }
    const COLOUR& at(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_nWidth + x]; }
    // Paints colour where inside(x, y) holds, 4 x 4 samples a pixel, so edges
    // are blended; colour may vary with the position.
    void fill(const std::function<bool(float x, float y)>& inside,
              const std::function<COLOUR(float x, float y)>& colour);
    // Colour noise of +-amount on pixels with alpha, reproducible by seed.
    void grain(float amount, unsigned seed);
    // Bytes r, g, b (and a) per pixel, rounded and clamped; rows top first.
    std::vector<unsigned char> bytes(bool withAlpha) const;

private:
    int m_nWidth;
    int m_nHeight;
    std::vector<COLOUR> m_pixels;
};

COLOUR mix(const COLOUR& p, const COLOUR& q, float t);
// Reproducible value in [-1, 1] for a position and a seed.
float hashNoise(int x, int y, unsigned seed);

// Writers; each returns false when the file cannot be written.
bool writeBMP24(const std::string& path, const CCanvas& canvas);
bool writeTGA32(const std::string& path, const CCanvas& canvas);
bool writeJPEG(const std::string& path, const CCanvas& canvas, int quality);
// 8-bit palette GIF, rows stored interlaced; colours by ordered dithering to a
// 6 x 6 x 6 cube plus a grey ramp.
bool writeInterlacedGIF(const std::string& path, const CCanvas& canvas);

} // namespace demo

#endif
