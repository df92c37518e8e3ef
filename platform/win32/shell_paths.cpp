// Path rules on Windows: the shell's own path functions.
#include "platform/paths.h"
#include "tivorn/types.h" // the Win32 declarations

#include <shlwapi.h>

namespace tvn {
namespace plat {

const char kPathSeparator = '\\';

bool isPathSeparator(char c) {
    // The dialog gives backslashes; a host may hand over either kind.
    return c == '\\' || c == '/';
}

char* pathFindExtension(char* path) {
    return PathFindExtensionA(path);
}

void pathCutToFolder(char* path) {
    PathRemoveFileSpecA(path);
}

} // namespace plat
} // namespace tvn
