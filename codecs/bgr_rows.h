// Rows of 24-bit blue-green-red pixels as opaque pixel words.
#ifndef TIVORN_BGR_ROWS_H
#define TIVORN_BGR_ROWS_H

#include "tivorn/types.h"

namespace tvn {

// dst[x] = 0xFF000000 | blue << 16 | green << 8 | red of the three bytes at src + 3x.
void bgrRowToPixels(const unsigned char* src, TVN_DWORD* dst, TVN_DWORD width);

// The plain loop, always built; the fast path must give the same words.
void bgrRowToPixelsReference(const unsigned char* src, TVN_DWORD* dst, TVN_DWORD width);

} // namespace tvn

#endif
