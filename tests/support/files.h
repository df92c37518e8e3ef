// Picture files made byte by byte: the one BMP and TGA builder of the tests,
// written from the formats' layouts, not from the library's readers or writer.
#ifndef TIVORN_TEST_FILES_H
#define TIVORN_TEST_FILES_H

#include <vector>

#include "tivorn.h"

namespace tvntest {

using Bytes = std::vector<unsigned char>;

inline void put32(Bytes& b, TVN_DWORD v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

struct BmpHeader {
    TVN_DWORD width, height;
    unsigned bits;
    TVN_DWORD compression = 0;
    TVN_DWORD infoSize = 40;
    TVN_DWORD offBits = 54;
    const char* magic = "BM";
};

// File header, 40-byte information header (infoSize only as a value), payload.
inline Bytes bmpFile(const BmpHeader& h, const Bytes& payload) {
    Bytes b = {static_cast<unsigned char>(h.magic[0]), static_cast<unsigned char>(h.magic[1])};
    // Size, reserved, offset; header size, width, height, planes and bits, compression,
    // then image size, densities, colours used/important: not consulted.
    for (TVN_DWORD v : {static_cast<TVN_DWORD>(54 + payload.size()), TVN_DWORD(0), h.offBits, h.infoSize, h.width,
                        h.height, TVN_DWORD(1 | h.bits << 16), h.compression})
        put32(b, v);
    for (int i = 0; i < 5; ++i) put32(b, 0x7777);
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

// Any picture at any depth, bottom row first, rows padded to 4 bytes; for depths
// up to 8 the colour table follows the header and `indices` pick its entries.
inline Bytes bmpPicture(const std::vector<TVN_DWORD>& words, TVN_DWORD w, TVN_DWORD h, unsigned bits = 24,
                        const std::vector<TVN_DWORD>& palette = {}, const std::vector<unsigned>& indices = {}) {
    Bytes payload;
    if (bits <= 8)
        for (TVN_DWORD c : palette)
            payload.insert(payload.end(), {static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                                           static_cast<unsigned char>(c), 0x5A}); // reserved, ignored
    const std::size_t stride = ((w * bits + 7) / 8 + 3) / 4 * 4;
    for (TVN_DWORD y = 0; y < h; ++y) {
        Bytes row(stride, 0xEE);
        for (TVN_DWORD x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            if (bits <= 8) {
                const std::size_t bit = std::size_t(x) * bits;
                const unsigned shift = 8 - bits - bit % 8;
                unsigned char& byte = row[bit / 8];
                byte = static_cast<unsigned char>((byte & ~(((1u << bits) - 1) << shift)) | (indices[i] << shift));
                continue;
            }
            unsigned char* p = &row[std::size_t(x) * bits / 8];
            p[0] = static_cast<unsigned char>(words[i] >> 16);
            p[1] = static_cast<unsigned char>(words[i] >> 8);
            p[2] = static_cast<unsigned char>(words[i]);
            if (bits == 32) p[3] = 0x00; // not alpha
        }
        payload.insert(payload.end(), row.begin(), row.end());
    }
    return bmpFile({w, h, bits, 0, 40, static_cast<TVN_DWORD>(54 + (bits <= 8 ? palette.size() * 4 : 0))}, payload);
}

struct Tga {
    TVN_DWORD width, height;
    unsigned depth;
    unsigned type = 2;
    unsigned descriptor = 0;
    unsigned colorMapType = 0;
    unsigned idLength = 0;
    Bytes data = {};
    bool footer = false;
};

// The 18-byte header, an ID field of idLength bytes, the data, the 26-byte footer.
inline Bytes tgaFile(const Tga& t) {
    Bytes b = {static_cast<unsigned char>(t.idLength), static_cast<unsigned char>(t.colorMapType),
               static_cast<unsigned char>(t.type), 0, 0, 0, 0, 0, 0, 0, 0, 0,
               static_cast<unsigned char>(t.width), static_cast<unsigned char>(t.width >> 8),
               static_cast<unsigned char>(t.height), static_cast<unsigned char>(t.height >> 8),
               static_cast<unsigned char>(t.depth), static_cast<unsigned char>(t.descriptor)};
    for (unsigned i = 0; i < t.idLength; ++i) b.push_back(static_cast<unsigned char>(0xC0 + i));
    b.insert(b.end(), t.data.begin(), t.data.end());
    if (t.footer) {
        b.insert(b.end(), 8, 0);
        const char sig[] = "TRUEVISION-XFILE.";
        b.insert(b.end(), sig, sig + sizeof sig);
    }
    return b;
}

} // namespace tvntest

#endif
