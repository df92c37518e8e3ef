// BMP, TGA and JPEG writers of the demo picture generator. Written here, apart
// from the library, so the shipped files test its readers independently.
#include <cstdio>
#include <vector>

#include <turbojpeg.h>

#include "make_demo.h"

namespace demo {
namespace {

void put16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, unsigned long v) {
    put16(out, static_cast<unsigned>(v & 0xFFFF));
    put16(out, static_cast<unsigned>(v >> 16));
}

bool writeAll(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

bool writeBMP24(const std::string& path, const CCanvas& canvas) {
    const int w = canvas.width(), h = canvas.height();
    const unsigned long stride = (3ul * w + 3) & ~3ul;
    const std::vector<unsigned char> rgb = canvas.bytes(false);
    std::vector<unsigned char> out = {'B', 'M'};
    put32(out, 54 + stride * h); // file size
    put32(out, 0);               // reserved
    put32(out, 54);              // pixel data offset
    put32(out, 40);              // info header size
    put32(out, static_cast<unsigned long>(w));
    put32(out, static_cast<unsigned long>(h)); // positive: bottom row first
    put16(out, 1);                             // planes
    put16(out, 24);                            // bits per pixel
    put32(out, 0);                             // no compression
    put32(out, stride * h);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (unsigned long pad = 3ul * w; pad < stride; ++pad)
            out.push_back(0);
    }
    return writeAll(path, out);
}

bool writeTGA32(const std::string& path, const CCanvas& canvas) {
    const int w = canvas.width(), h = canvas.height();
    const std::vector<unsigned char> rgba = canvas.bytes(true);
    std::vector<unsigned char> out = {0, 0, 2, 0, 0, 0, 0, 0}; // true-colour, no map
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<unsigned>(w));
    put16(out, static_cast<unsigned>(h));
    out.push_back(32);
    out.push_back(8); // 8 alpha bits, origin bottom left
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgba[(static_cast<std::size_t>(y) * w + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    put32(out, 0); // no extension area
    put32(out, 0); // no developer directory
    const char signature[] = "TRUEVISION-XFILE.";
    out.insert(out.end(), signature, signature + sizeof signature); // with its zero byte
    return writeAll(path, out);
}

bool writeJPEG(const std::string& path, const CCanvas& canvas, int quality) {
    std::vector<unsigned char> rgb = canvas.bytes(false);
    tjhandle handle = tjInitCompress();
    if (!handle)
        return false;
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(handle, rgb.data(), canvas.width(), 0, canvas.height(), TJPF_RGB, &jpeg, &size,
                               TJSAMP_420, quality, 0);
    bool ok = rc == 0 && writeAll(path, std::vector<unsigned char>(jpeg, jpeg + size));
    tjFree(jpeg);
    tjDestroy(handle);
    return ok;
}

} // namespace demo
