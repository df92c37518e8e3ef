// Placeholder until the resampling subsystem lands.
#include "tivorn/image.h"
#include "resample/rebuild.h"

const int CRGBAImage::BoxFilter = 1;
const int CRGBAImage::BilinearFilter = 2;
const int CRGBAImage::BicubicFilter = 3;
const int CRGBAImage::GaussianFilter = 4;
const int CRGBAImage::HammingFilter = 5;
const int CRGBAImage::BlackmanFilter = 6;

int CRGBAImage::setSize(TVN_DWORD, TVN_DWORD, int, IMG_PROGRESS_PROC, void*) { return 0; }
int CRGBAImage::setSizeRough(TVN_DWORD, TVN_DWORD) { return 0; }
void CRGBAImage::blur(unsigned int* pKernel) { blur(pKernel, 1); }
void CRGBAImage::blur(unsigned int*, int) {}
extern "C" TVN_API void TVN_CDECL tvn2PassBlur(TVN_DWORD*, TVN_DWORD*, TVN_DWORD, TVN_DWORD, unsigned int*) {}
namespace tvn {
int bilinearResize(CRGBAImage&, TVN_DWORD, TVN_DWORD) { return 0; }
int bilinearRebuild(CRGBAImage&) { return 0; }
}
