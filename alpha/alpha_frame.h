// The planes every transparency mode writes, and the plane-level steps shared by
// the modes and the saved alpha. Which buffer of an image is the target (the
// untouched copy when there is one, else the current picture) the image decides.
#ifndef TIVORN_ALPHA_FRAME_H
#define TIVORN_ALPHA_FRAME_H

#include <cstddef>

#include "tivorn/types.h"

namespace tvn {
namespace alpha {

// The buffer a mode writes and its size in pixels.
struct AlphaTarget {
    TVN_DWORD* words;
    TVN_DWORD width;
    TVN_DWORD height;
    bool original; // the untouched copy: the current picture is rebuilt afterwards
};

// word with its alpha byte replaced; the colour bytes stay.
inline TVN_DWORD withAlpha(TVN_DWORD word, TVN_DWORD alpha) {
    return (word & 0x00FFFFFFu) | (alpha << 24);
}

// saved[i] = alpha of src[i] for the first `available` words; the rest of the
// `count` bytes are 0xFF (pixels the source does not hold count as opaque).
void copyAlphaOut(const TVN_DWORD* src, std::size_t available, unsigned char* saved, std::size_t count);

// The alpha bytes of saved written into the first count words of target.
void copyAlphaIn(TVN_DWORD* target, const unsigned char* saved, std::size_t count);

// Mode 3's last step: the red byte of each grey mask word becomes the alpha of
// the target word at the same place (the mask has the target's size).
void applyMask(const AlphaTarget& target, const TVN_DWORD* grey);

} // namespace alpha
} // namespace tvn

#endif
