// Placeholder until the BMP/TGA readers and the loading front-end land.
#include "tivorn/image.h"
#include "tivorn/host.h"

int CRGBAImage::load(const char*, int) { return 0; }
int CRGBAImage::reload(int, IMG_PROGRESS_PROC, void*) { return 0; }
int CRGBAImage::showFileDialog(const char*) { return 0; }
int CRGBAImage::readBMPFile(void*) { return 0; }
void CRGBAImage::readBMPFileHeader(void*, tagBITMAPFILEHEADER*) {}
void CRGBAImage::readBMPInfoHeader(void*, tagBITMAPINFOHEADER*) {}
void CRGBAImage::readBMPColorMap(void*, tagRGBQUAD*, TVN_DWORD) {}
void CRGBAImage::readBMPMappedBitmap(void*, tagBITMAPINFOHEADER*) {}
void CRGBAImage::readBMPRawBitmap(void*, tagBITMAPFILEHEADER*, tagBITMAPINFOHEADER*) {}
int CRGBAImage::readTGAFile(void*) { return 0; }
void CRGBAImage::readTGAHeader(void*, TGA_HEADER*) {}
void CRGBAImage::readTGAFooter(void*, TGA_FOOTER*) {}
void CRGBAImage::readTGAImData(void*, const TGA_HEADER*) {}
void CRGBAImage::readTGAUnmapped(void*, unsigned char) {}
void CRGBAImage::readTGAUnmappedRLE(void*, unsigned char) {}
unsigned char CRGBAImage::getNextByte(void*) { return 0; }
extern "C" TVN_API void TVN_CDECL tvnSetOpenFileProc(TVN_OPEN_FILE_PROC, void*) {}
