// Placeholder until the GIF and JPEG readers and the bitmap import land.
#include "tivorn/image.h"
#include "tivorn/host.h"

int CRGBAImage::readGIFFile(void*) { return 0; }
void CRGBAImage::readGIFSignature(void*) {}
void CRGBAImage::readGIFScreenDescriptor(void*, GIF_SCREEN_DESCR*) {}
void CRGBAImage::readGIFColorMap(void*, unsigned char**, TVN_DWORD) {}
int CRGBAImage::readGIFImageDescriptor(void*, GIF_IMAGE_DESCR*) { return 0; }
int CRGBAImage::readJPEGFile(void*) { return 0; }
int CRGBAImage::fromHandle(HBITMAP) { return 0; }
extern "C" TVN_API HBITMAP TVN_CDECL tvnCreateBitmap(int, int, int, const void*, int) { return nullptr; }
extern "C" TVN_API void TVN_CDECL tvnDeleteBitmap(HBITMAP) {}
