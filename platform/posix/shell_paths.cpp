// Path rules on POSIX systems, shaped like the Windows shell functions:
// '/' separates components and the root folder keeps its separator.
#include "platform/paths.h"

#include <cstring>

namespace tvn {
namespace plat {

const char kPathSeparator = '/';

bool isPathSeparator(char c) {
    return c == '/';
}

char* pathFindExtension(char* path) {
    char* dot = nullptr;
    char* p = path;
    for (; *p; ++p) {
        if (*p == '/') dot = nullptr;
        else if (*p == '.') dot = p;
    }
    return dot ? dot : p;
}

void pathCutToFolder(char* path) {
    if (!path) return;
    char* last = std::strrchr(path, '/');
    if (!last) path[0] = 0;
    else if (last == path) path[1] = 0;
    else *last = 0;
}

} // namespace plat
} // namespace tvn
