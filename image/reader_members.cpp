// The reader members of CRGBAImage over the plane-level decoders. A member that
// reads a whole file installs the decoded picture on success and leaves the
// image without a size on failure; the step members work on the current picture.
#include "image/reader_members.h"

#include "pixel/heap.h"

using A = tvn::ImageAccess;

namespace tvn::image {

void takePicture(CRGBAImage& image, pixel::DECODED_PICTURE& decoded) {
    pixel::heapFree(A::buffer(image));
    A::buffer(image) = decoded.plane.pWords;
    A::width(image) = decoded.plane.dwWidth;
    A::height(image) = decoded.plane.dwHeight;
    A::containsAlpha(image) = decoded.bContainsAlpha;
    decoded = pixel::DECODED_PICTURE();
}

void replacePicture(CRGBAImage& image, pixel::DECODED_PICTURE& decoded) {
    pixel::heapFree(A::origBuffer(image));
    pixel::heapFree(A::savedAlpha(image));
    A::origBuffer(image) = nullptr;
    A::savedAlpha(image) = nullptr;
    takePicture(image, decoded);
    A::widthOrig(image) = A::width(image);
    A::heightOrig(image) = A::height(image);
}

} // namespace tvn::image

namespace {

int installOrClear(CRGBAImage& image, int result, tvn::pixel::DECODED_PICTURE& decoded) {
    if (result) {
        tvn::image::takePicture(image, decoded);
        return 1;
    }
    A::width(image) = 0;
    A::height(image) = 0;
    return 0;
}

tvn::pixel::PIXEL_PLANE currentPlane(CRGBAImage& image) {
    return {A::buffer(image), A::width(image), A::height(image)};
}

} // namespace

int CRGBAImage::readBMPFile(void* file) {
    tvn::pixel::DECODED_PICTURE decoded;
    return installOrClear(*this, tvn::codecs::decodeBmp(file, &decoded), decoded);
}

void CRGBAImage::readBMPFileHeader(void* file, tagBITMAPFILEHEADER* header) {
    tvn::codecs::bmp::readFileHeader(file, header);
}

void CRGBAImage::readBMPInfoHeader(void* file, tagBITMAPINFOHEADER* info) {
    tvn::codecs::bmp::readInfoHeader(file, info);
}

void CRGBAImage::readBMPColorMap(void* file, tagRGBQUAD* table, TVN_DWORD count) {
    tvn::codecs::bmp::readColorMap(file, table, count);
}

void CRGBAImage::readBMPMappedBitmap(void* file, tagBITMAPINFOHEADER* info) {
    tvn::codecs::bmp::readMappedBitmap(file, *info, currentPlane(*this));
}

void CRGBAImage::readBMPRawBitmap(void* file, tagBITMAPFILEHEADER* header, tagBITMAPINFOHEADER* info) {
    tvn::codecs::bmp::readRawBitmap(file, *header, *info, currentPlane(*this));
}

int CRGBAImage::readTGAFile(void* file) {
    tvn::pixel::DECODED_PICTURE decoded;
    tvn::codecs::READ_AHEAD readAhead = tvn::image::readAheadOf(*this);
    return installOrClear(*this, tvn::codecs::decodeTga(file, readAhead, &decoded), decoded);
}

void CRGBAImage::readTGAHeader(void* file, TGA_HEADER* header) {
    tvn::codecs::tga::readHeader(file, header);
}

void CRGBAImage::readTGAFooter(void* file, TGA_FOOTER* footer) {
    tvn::codecs::tga::readFooter(file, footer);
}

// The new picture replaces the current one as the reader fills it, so that a
// failure part way leaves the half-read picture with its size, as before.
void CRGBAImage::readTGAImData(void* file, const TGA_HEADER* header) {
    tvn::pixel::DECODED_PICTURE picture = {{m_pBuffer, m_dwWidth, m_dwHeight}, m_bContainsAlpha};
    m_pBuffer = nullptr;
    tvn::codecs::READ_AHEAD readAhead = tvn::image::readAheadOf(*this);
    try {
        tvn::codecs::tga::readImageData(file, *header, readAhead, &picture);
    } catch (...) {
        tvn::image::takePicture(*this, picture);
        throw;
    }
    tvn::image::takePicture(*this, picture);
}

void CRGBAImage::readTGAUnmapped(void* file, unsigned char depth) {
    tvn::pixel::PIXEL_PLANE plane = currentPlane(*this);
    tvn::codecs::tga::readUnmapped(file, depth, &plane);
    m_pBuffer = plane.pWords;
}

void CRGBAImage::readTGAUnmappedRLE(void* file, unsigned char depth) {
    tvn::codecs::READ_AHEAD readAhead = tvn::image::readAheadOf(*this);
    tvn::codecs::tga::readUnmappedRLE(file, depth, readAhead, currentPlane(*this));
}

unsigned char CRGBAImage::getNextByte(void* file) {
    tvn::codecs::READ_AHEAD readAhead = tvn::image::readAheadOf(*this);
    return tvn::codecs::tga::nextByte(file, readAhead);
}

int CRGBAImage::readGIFFile(void* file) {
    tvn::pixel::DECODED_PICTURE decoded;
    return installOrClear(*this, tvn::codecs::decodeGif(file, &decoded), decoded);
}

void CRGBAImage::readGIFSignature(void* file) {
    tvn::codecs::gif::readSignature(file);
}

// The screen's size becomes the picture's, with new words for it.
void CRGBAImage::readGIFScreenDescriptor(void* file, GIF_SCREEN_DESCR* screen) {
    tvn::codecs::gif::readScreenDescriptor(file, screen);
    m_dwWidth = screen->wWidth;
    m_dwHeight = screen->wHeight;
    void* pixels = tvn::pixel::heapAllocOrThrow(m_dwWidth, m_dwHeight, 4, 0);
    tvn::pixel::heapFree(m_pBuffer);
    m_pBuffer = static_cast<TVN_DWORD*>(pixels);
}

void CRGBAImage::readGIFColorMap(void* file, unsigned char** table, TVN_DWORD bits) {
    tvn::codecs::gif::readColorMap(file, table, bits);
}

int CRGBAImage::readGIFImageDescriptor(void* file, GIF_IMAGE_DESCR* image) {
    return tvn::codecs::gif::readImageDescriptor(file, image);
}

// Taken over like a bitmap handle: the picture becomes its own original.
int CRGBAImage::readJPEGFile(void* file) {
    tvn::pixel::DECODED_PICTURE decoded;
    if (!tvn::codecs::decodeJpeg(file, &decoded)) return 0;
    tvn::image::replacePicture(*this, decoded);
    return 1;
}
