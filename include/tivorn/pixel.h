/* The pixel word and its helpers.
   A pixel word is 32 bits: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31
   (alpha 255 = opaque). Pictures are arrays of such words, bottom row first. */
#ifndef TIVORN_PIXEL_H
#define TIVORN_PIXEL_H

#include "types.h"

#ifdef __cplusplus
extern "C" {
#endif

TVN_API unsigned char TVN_CDECL tvnGetRValue(TVN_DWORD pel);
TVN_API unsigned char TVN_CDECL tvnGetGValue(TVN_DWORD pel);
TVN_API unsigned char TVN_CDECL tvnGetBValue(TVN_DWORD pel);
TVN_API unsigned char TVN_CDECL tvnGetAValue(TVN_DWORD pel);
TVN_API TVN_DWORD TVN_CDECL tvnRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a);
/* Truncated Euclidean distance over red, green and blue (0..441); alpha ignored. */
TVN_API TVN_DWORD TVN_CDECL tvnGetColorDist(TVN_DWORD p, TVN_DWORD q);
/* Converts a raw 1, 15/16, 24 or 32 (10-10-10) bit value in place; 0 for other depths. */
TVN_API int TVN_CDECL tvnNormalizePel(TVN_DWORD* pel, unsigned char bits);
/* Each colour channel times mul, divided by div, low 8 bits kept; alpha unchanged. */
TVN_API TVN_DWORD TVN_CDECL tvnMulPel(TVN_DWORD pel, TVN_DWORD mul, TVN_DWORD div);
TVN_API void TVN_CDECL tvnFillUlong(TVN_DWORD* dst, TVN_DWORD value, TVN_DWORD count);
TVN_API void TVN_CDECL tvnSwapRB(TVN_DWORD* pel);

#ifdef __cplusplus
}
#endif

#endif
