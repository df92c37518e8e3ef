// The properties dialog and the colour chooser on POSIX systems: there are no
// system ones. Without the host's proc showProperties reports a cancel (0).
#include "platform/system.h"

namespace tvn {
namespace plat {

int sys::propertiesDialog(HWND, CPropertiesHandler&) {
    return 0;
}

int sys::chooseColor(HWND, TVN_DWORD*, TVN_DWORD*) {
    return 0;
}

} // namespace plat
} // namespace tvn
