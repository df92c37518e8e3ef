// The byte shuffles the SSSE3 and AVX2 row kernels share: output byte k of
// each 16 takes input byte index k (-1 gives 0).
#ifndef TIVORN_PIXEL_ROWS_SHUFFLES_H
#define TIVORN_PIXEL_ROWS_SHUFFLES_H

// File bytes to words: four 3-byte pixels, four 4-byte pixels without and with alpha.
#define TVN_BGR_TO_WORDS 2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1
#define TVN_BGRX_TO_WORDS 2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1
// Red and blue exchanged in each word (also words to blue, green, red, alpha).
#define TVN_SWAP_RB 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15
// Four words to 12 bytes blue, green, red, the last four bytes 0.
#define TVN_WORDS_TO_BGR 2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1
// Each word's bytes reversed.
#define TVN_BYTE_SWAP 3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12

#endif
