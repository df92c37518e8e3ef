// The open-file dialog on POSIX systems: there is no platform dialog, so it is
// the host's (tvnSetOpenFileProc) or, without one, a cancel.
#include "platform/open_file_proc.h"
#include "platform/dialogs.h"

namespace tvn {
namespace plat {

int openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                   unsigned long* extendedError) {
    int result = 0;
    if (runHostOpenFileProc(startFolder, filters, chosen, chosenSize, extendedError, &result)) return result;
    if (extendedError) *extendedError = 0;
    return 0;
}

} // namespace plat
} // namespace tvn
