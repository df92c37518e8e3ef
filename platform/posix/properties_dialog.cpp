// The properties dialog on POSIX systems: only the host's. Without a proc there
// is no dialog to show, and showProperties reports that as a cancel (0).
#include "platform/properties_dialog.h"

#include <sys/stat.h>

namespace tvn {
namespace plat {

int runPropertiesDialog(HWND owner, CPropertiesHandler& handler) {
    int result = 0;
    if (runHostPropertiesDialog(owner, handler, &result)) return result;
    return 0;
}

// Opening without access asks nothing of the file but that it exists and is
// not a folder; so here it is a status query, which works on unreadable files too.
int fileCanBeOpened(const char* path) {
    struct stat info;
    return path && path[0] && stat(path, &info) == 0 && !S_ISDIR(info.st_mode);
}

} // namespace plat
} // namespace tvn
