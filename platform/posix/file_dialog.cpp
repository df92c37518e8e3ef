// The open-file dialog on POSIX systems: there is no system dialog, so without
// the host's proc (tvnSetOpenFileProc) it acts as a cancel.
#include "platform/system.h"

namespace tvn {
namespace plat {

int sys::openFileDialog(const char*, const char*, char* chosen, int chosenSize, unsigned long* extendedError) {
    if (extendedError) *extendedError = 0;
    if (chosen && chosenSize > 0) chosen[0] = 0;
    return 0;
}

} // namespace plat
} // namespace tvn
