// The file readers as plane-level decoders. Each reads a whole picture file from
// an open handle at its start into a DECODED_PICTURE: on success the record
// holds a new plane the caller owns; on failure it holds none, and the BMP, TGA
// and GIF readers have shown their message box (the JPEG reader shows none).
// The steps below the entries are the documented parts of each reader.
#ifndef TIVORN_CODECS_DECODERS_H
#define TIVORN_CODECS_DECODERS_H

#include "codecs/gif_format.h"
#include "pixel/plane.h"
#include "platform/bitmap_records.h"
#include "codecs/tga_format.h"
#include "tivorn/types.h"

namespace tvn {
namespace codecs {

int decodeBmp(HANDLE file, pixel::DECODED_PICTURE* out);
int decodeGif(HANDLE file, pixel::DECODED_PICTURE* out);
int decodeJpeg(HANDLE file, pixel::DECODED_PICTURE* out);
// The pixels of a bitmap handle read as 24-bit rows, opaque; no message box.
int decodeBitmapHandle(HBITMAP bitmap, pixel::DECODED_PICTURE* out);

// The TGA run-length reader takes its bytes through a 512-byte read-ahead that
// the image object keeps between reads; the decoder works on it through this view.
struct READ_AHEAD {
    HANDLE& hFile;
    unsigned char* pBuf; // 512 bytes
    int& nLast;
    int& nNext;
};
int decodeTga(HANDLE file, READ_AHEAD& readAhead, pixel::DECODED_PICTURE* out);

// The steps. They throw a message text (char*) on failure; a plane they fill
// has its size set and its words allocated by the caller.
namespace bmp {
void readFileHeader(HANDLE file, tagBITMAPFILEHEADER* header);
void readInfoHeader(HANDLE file, tagBITMAPINFOHEADER* info);
void readColorMap(HANDLE file, tagRGBQUAD* table, TVN_DWORD count);
void readMappedBitmap(HANDLE file, const tagBITMAPINFOHEADER& info, const pixel::PIXEL_PLANE& plane);
void readRawBitmap(HANDLE file, const tagBITMAPFILEHEADER& header, const tagBITMAPINFOHEADER& info,
                   const pixel::PIXEL_PLANE& plane);
} // namespace bmp

namespace tga {
void readFooter(HANDLE file, TGA_FOOTER* footer);
void readHeader(HANDLE file, TGA_HEADER* header);
// Sets the size and the own-alpha flag, allocates the words, reads the pixels.
void readImageData(HANDLE file, const TGA_HEADER& header, READ_AHEAD& readAhead, pixel::DECODED_PICTURE* picture);
// May replace plane->pWords (freeing the previous words) with a block of its own.
void readUnmapped(HANDLE file, unsigned char depth, pixel::PIXEL_PLANE* plane);
void readUnmappedRLE(HANDLE file, unsigned char depth, READ_AHEAD& readAhead, const pixel::PIXEL_PLANE& plane);
unsigned char nextByte(HANDLE file, READ_AHEAD& readAhead);
} // namespace tga

namespace gif {
void readSignature(HANDLE file);
void readScreenDescriptor(HANDLE file, GIF_SCREEN_DESCR* screen);
void readColorMap(HANDLE file, unsigned char** table, TVN_DWORD bits);
int readImageDescriptor(HANDLE file, GIF_IMAGE_DESCR* image);
} // namespace gif

} // namespace codecs
} // namespace tvn

#endif
