// The cache's opens and positions on POSIX: there are no share modes, and a
// descriptor opened for reading can always report its times.
#include "platform/cache_files.h"

namespace tvn {
namespace plat {

HANDLE cacheFileOpenShared(const char* path) {
    return fileOpenRead(path);
}

HANDLE cacheFileOpenQuery(const char* path) {
    return fileOpenRead(path);
}

int cacheFileSeekTo(HANDLE file, TVN_DWORD position) {
    return fileSeek(file, static_cast<long>(position), SeekBegin, nullptr);
}

} // namespace plat
} // namespace tvn
