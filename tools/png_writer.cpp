// PNG through libpng's simplified writer. Presentation only: the pixel words are
// spelled out as bytes, and the checkerboard is blended in here, never in the
// library's pictures.
#include "png_writer.h"

#include <cstdint>
#include <cstring>

#include <new>
#include <vector>

#ifdef TIVORN_HAVE_PNG
#include <png.h>
#endif

namespace cli {
#ifdef TIVORN_HAVE_PNG
namespace {

const unsigned kSquare = 8; // checkerboard square, pixels
const unsigned kLight = 255;
const unsigned kDark = 204;

unsigned char blend(unsigned colour, unsigned alpha, unsigned background) {
    return static_cast<unsigned char>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

// Top row first, as PNG wants it; the library's buffers start with the bottom row.
void spellOut(const TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height, bool checker,
              std::vector<unsigned char>& bytes) {
    const unsigned channels = checker ? 3 : 4;
    unsigned char* out = bytes.data();
    for (TVN_DWORD y = 0; y < height; ++y) {
        const TVN_DWORD* row = words + static_cast<std::size_t>(height - 1 - y) * width;
        for (TVN_DWORD x = 0; x < width; ++x, out += channels) {
            const TVN_DWORD w = row[x];
            const unsigned r = tvnGetRValue(w), g = tvnGetGValue(w), b = tvnGetBValue(w), a = tvnGetAValue(w);
            if (!checker) {
                out[0] = static_cast<unsigned char>(r);
                out[1] = static_cast<unsigned char>(g);
                out[2] = static_cast<unsigned char>(b);
                out[3] = static_cast<unsigned char>(a);
                continue;
            }
            const unsigned bg = ((x / kSquare + y / kSquare) & 1) ? kDark : kLight;
            out[0] = blend(r, a, bg);
            out[1] = blend(g, a, bg);
            out[2] = blend(b, a, bg);
        }
    }
}

} // namespace
#endif

bool writePng(const std::string& path, const TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height,
              bool overCheckerboard, std::string& why) {
    if (!words || !width || !height) {
        why = "there is no picture to write";
        return false;
    }
    const unsigned channels = overCheckerboard ? 3 : 4;
    if (width > 0x7FFFFFFFu / channels || height > SIZE_MAX / (static_cast<std::size_t>(width) * channels)) {
        why = "the picture is too large for PNG output";
        return false;
    }
#ifdef TIVORN_HAVE_PNG
    std::vector<unsigned char> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(width) * height * channels);
    } catch (const std::bad_alloc&) {
        why = "not enough memory";
        return false;
    }
    spellOut(words, width, height, overCheckerboard, bytes);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = overCheckerboard ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr)) {
        why = image.message[0] ? image.message : "libpng failed";
        png_image_free(&image);
        return false;
    }
    return true;
#else
    (void)path;
    why = "this build of tivorn has no PNG support (libpng was not found); write a .tga";
    return false;
#endif
}

} // namespace cli
