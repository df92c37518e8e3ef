// The two fixed records of a TGA file, shared by the reader and the writer.
// Both are packed byte for byte as they lie in the file; multi-byte fields are
// little-endian, the byte order of every target the library is built for.
#ifndef TIVORN_TGA_FORMAT_H
#define TIVORN_TGA_FORMAT_H

#include <cstdint>

#pragma pack(push, 1)

// The 18 bytes at the start of the file.
struct TGA_HEADER {
    std::uint8_t byIDLength;      // bytes of the image ID field after the header
    std::uint8_t byColorMapType;  // 0 none, 1 present
    std::uint8_t byImageType;     // 2 true-colour, 10 run-length true-colour
    std::uint16_t wColorMapFirst; // first colour-map entry index
    std::uint16_t wColorMapLength;
    std::uint8_t byColorMapEntryBits;
    std::uint16_t wXOrigin;
    std::uint16_t wYOrigin;
    std::uint16_t wWidth;
    std::uint16_t wHeight;
    std::uint8_t byPixelDepth;
    // Bits 0-3 alpha bits, bit 4 rows run right to left, bit 5 rows run top to bottom.
    std::uint8_t byDescriptor;
};

// The last 26 bytes of a file that carries the newer format's footer.
struct TGA_FOOTER {
    std::uint32_t dwExtensionOffset; // 0 = none
    std::uint32_t dwDeveloperOffset; // 0 = none
    char signature[18];              // "TRUEVISION-XFILE." and a zero byte
};

#pragma pack(pop)

static_assert(sizeof(TGA_HEADER) == 18, "TGA_HEADER is the 18-byte file header");
static_assert(sizeof(TGA_FOOTER) == 26, "TGA_FOOTER is the 26-byte file footer");

namespace tvn::codecs {
const std::uint8_t kTgaTypeTrueColor = 2;
const std::uint8_t kTgaTypeTrueColorRLE = 10;
const std::uint8_t kTgaRightToLeft = 0x10;
const std::uint8_t kTgaTopToBottom = 0x20;
// The footer's signature without its zero byte (17 characters).
const char kTgaSignature[] = "TRUEVISION-XFILE.";
} // namespace tvn::codecs

#endif
