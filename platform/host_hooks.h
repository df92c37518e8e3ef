// The environment's host hooks as the system table fills them: each serves the
// host's proc when one is installed (tivorn/host.h), else the system's own.
#ifndef TIVORN_PLATFORM_HOST_HOOKS_H
#define TIVORN_PLATFORM_HOST_HOOKS_H

#include "platform/environment.h"

namespace tvn {
namespace plat {
namespace hooks {

void message(const char* text, HWND owner);
int openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                   unsigned long* extendedError);
int propertiesDialog(HWND owner, CPropertiesHandler& handler);

// Files: the host's procs (tvnSetFileProcs) while installed, else the system's.
TVN_FILE_SLOTS(TVN_DECLARE_FUNCTION)

} // namespace hooks
} // namespace plat
} // namespace tvn

#endif
