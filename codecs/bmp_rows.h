// Colour-table rows of the BMP reader: 1-, 4- and 8-bit indices to words.
#ifndef TIVORN_BMP_ROWS_H
#define TIVORN_BMP_ROWS_H

#include "tivorn/types.h"

namespace tvn::codecs {
namespace bmp {

// Converts width indices of `bits` bits each (1, 4 or 8; the first pixel in the
// most significant bits of the first byte) through table into words.
void indexedRowToWords(const unsigned char* row, unsigned bits, const TVN_DWORD* table, TVN_DWORD* out,
                       TVN_DWORD width);

} // namespace bmp
} // namespace tvn::codecs

#endif
