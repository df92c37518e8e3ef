// Paths by the platform's shell rules, as its shell path functions apply them.
#ifndef TIVORN_PLATFORM_PATHS_H
#define TIVORN_PLATFORM_PATHS_H

#include "platform/environment.h"

namespace tvn {
namespace plat {

extern const char kPathSeparator; // '\\' on Windows, '/' elsewhere
bool isPathSeparator(char c);
inline int pathExists(const char* path) { // a file or a folder
    return path ? env().fileExists(path) : 0;
}
// The extension of the last path component, from its last '.' on; the
// terminating zero when there is none.
char* pathFindExtension(char* path);
// Cuts path to its folder part (the last component and its separator go).
void pathCutToFolder(char* path);

} // namespace plat
} // namespace tvn

#endif
