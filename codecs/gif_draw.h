// Drawing the decoded indices of one GIF image onto the screen picture.
#ifndef TIVORN_GIF_DRAW_H
#define TIVORN_GIF_DRAW_H

#include "codecs/gif_format.h"

namespace tvn::codecs {
namespace gif {

// Fills all kTableEntries pixel words of palette: the `entries` colours of table
// (red, green, blue each), then opaque black for every index the table does not
// hold, so any decoded index has a colour.
void buildPalette(TVN_DWORD* palette, const unsigned char* table, TVN_DWORD entries);

// Draws count indices of the image onto the bottom-up screen buffer, row by row in
// the image's row order (four passes when interlaced), clipped to the screen.
void drawImage(TVN_DWORD* screen, TVN_DWORD screenWidth, TVN_DWORD screenHeight, const GIF_IMAGE_DESCR& image,
               const unsigned short* indices, TVN_DWORD count, const TVN_DWORD* palette);

// Fills with colour every screen pixel that drawImage with the same arguments
// leaves alone: drawing the first image and then this is the same as filling the
// screen first, with each pixel written once.
void fillAroundImage(TVN_DWORD* screen, TVN_DWORD screenWidth, TVN_DWORD screenHeight, const GIF_IMAGE_DESCR& image,
                     TVN_DWORD count, TVN_DWORD colour);

} // namespace gif
} // namespace tvn::codecs

#endif
