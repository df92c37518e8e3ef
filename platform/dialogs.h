// Dialogs the library shows itself, through the environment's hooks.
#ifndef TIVORN_PLATFORM_DIALOGS_H
#define TIVORN_PLATFORM_DIALOGS_H

#include "platform/environment.h"

namespace tvn {
namespace plat {

// The open-file dialog (explorer style, file and path must exist, no owner).
// filters: label/pattern pairs, each zero-terminated, ending in an extra zero.
// Returns 1 and the full path in `chosen` on a choice; 0 otherwise, with
// *extendedError non-zero when the dialog failed rather than was cancelled.
inline int openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                          unsigned long* extendedError) {
    return env().openFileDialog(startFolder, filters, chosen, chosenSize, extendedError);
}

} // namespace plat
} // namespace tvn

#endif
