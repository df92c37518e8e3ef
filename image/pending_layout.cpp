// Placeholder until the layout conversions, packing and the TGA writer land.
#include "tivorn/image.h"

int CRGBAImage::convertToGrayscale() { return 0; }
int CRGBAImage::convertToBGRA() { return 0; }
int CRGBAImage::fillBuffer24bit(unsigned char*) { return 0; }
int CRGBAImage::fillBuffer32bit(unsigned char*) { return 0; }
TVN_DWORD CRGBAImage::compressRLE(unsigned char**) { return 0; }
void CRGBAImage::freeRLEBuffer(unsigned char*) {}
int CRGBAImage::saveTGA(const char*) { return 0; }
