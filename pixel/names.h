// File-name buffers as the image object and its dialogs hold them.
#ifndef TIVORN_PIXEL_NAMES_H
#define TIVORN_PIXEL_NAMES_H

#include <cstddef>

namespace tvn::pixel {

const std::size_t kNameSize = 260; // file-name buffers, terminator included

// Copies src into a kNameSize buffer, cut to fit; src may be dst itself.
void copyName(char* dst, const char* src);

} // namespace tvn::pixel

#endif
