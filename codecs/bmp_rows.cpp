#include "codecs/bmp_rows.h"

namespace tvn::codecs {
namespace bmp {

void indexedRowToWords(const unsigned char* row, unsigned bits, const TVN_DWORD* table, TVN_DWORD* out,
                       TVN_DWORD width) {
    TVN_DWORD x = 0;
    if (bits == 8) {
        for (; x < width; ++x) out[x] = table[row[x]];
    } else if (bits == 4) {
        for (; x + 2 <= width; x += 2) {
            const unsigned char b = row[x / 2];
            out[x] = table[b >> 4];
            out[x + 1] = table[b & 0x0F];
        }
        if (x < width) out[x] = table[row[x / 2] >> 4];
    } else {
        for (; x + 8 <= width; x += 8) {
            const unsigned b = row[x / 8];
            for (unsigned k = 0; k < 8; ++k) out[x + k] = table[(b >> (7 - k)) & 1];
        }
        for (; x < width; ++x) out[x] = table[(row[x / 8] >> (7 - (x % 8))) & 1];
    }
}

} // namespace bmp
} // namespace tvn::codecs
