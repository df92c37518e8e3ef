// Dialogs the library shows itself.
#ifndef TIVORN_PLATFORM_DIALOGS_H
#define TIVORN_PLATFORM_DIALOGS_H

namespace tvn {
namespace plat {

// The open-file dialog (explorer style, file and path must exist, no owner).
// filters: label/pattern pairs, each zero-terminated, ending in an extra zero.
// Returns 1 and the full path in `chosen` on a choice; 0 otherwise, with
// *extendedError non-zero when the dialog failed rather than was cancelled.
int openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                   unsigned long* extendedError);

} // namespace plat
} // namespace tvn

#endif
