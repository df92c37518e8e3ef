// The frame every transparency mode shares: keep the picture's own alpha, write
// the new alpha into the untouched copy when there is one (else into the current
// picture), then bring the current picture up to date.
#ifndef TIVORN_ALPHA_FRAME_H
#define TIVORN_ALPHA_FRAME_H

#include "tivorn/image.h"

namespace tvn {
namespace alpha {

// The buffer a mode writes and its size in pixels.
struct AlphaTarget {
    TVN_DWORD* words;
    TVN_DWORD width;
    TVN_DWORD height;
    bool original; // the untouched copy: the current picture is rebuilt afterwards
};

// Saves the picture's own alpha (first time only) and picks the target. false
// when the mode must not run: no picture, or no saved copy could be made (by
// design a mode never overwrites alpha that could not be kept).
bool beginAlphaMode(CRGBAImage& image, AlphaTarget* target);

// After the target was written: the bilinear rebuild when it was the untouched
// copy. Its failure is not passed on: the next resize shows the new alpha.
void endAlphaMode(CRGBAImage& image, const AlphaTarget& target);

// Whether the last mode could run (a picture without a saved copy means it could not).
bool modeRan(CRGBAImage& image);

// word with its alpha byte replaced; the colour bytes stay.
inline TVN_DWORD withAlpha(TVN_DWORD word, TVN_DWORD alpha) {
    return (word & 0x00FFFFFFu) | (alpha << 24);
}

} // namespace alpha
} // namespace tvn

#endif
