// PNG output of the program, so results can be looked at anywhere.
#ifndef TIVORN_TOOLS_PNG_WRITER_H
#define TIVORN_TOOLS_PNG_WRITER_H

#include <string>

#include "tivorn.h"

namespace cli {

// Writes width x height pixel words (bottom row first, as the library keeps them)
// as an 8-bit PNG: RGBA as they are, or RGB laid over a grey checkerboard so that
// transparency shows in any viewer. On failure why says what went wrong.
bool writePng(const std::string& path, const TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height,
              bool overCheckerboard, std::string& why);

} // namespace cli

#endif
