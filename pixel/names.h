// File-name buffers as the image object and its dialogs hold them.
#ifndef TIVORN_PIXEL_NAMES_H
#define TIVORN_PIXEL_NAMES_H

#include "tivorn/types.h"

namespace tvn::pixel {

// Copies src into a TVN_MAX_PATH buffer, cut to fit; src may be dst itself.
void copyName(char* dst, const char* src);

} // namespace tvn::pixel

#endif
