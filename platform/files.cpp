#include "platform/files.h"

namespace tvn {
namespace plat {

int fileWriteAll(HANDLE file, const void* data, TVN_DWORD size) {
    TVN_DWORD written = 0;
    return fileWrite(file, data, size, &written) && written == size;
}

int fileSeek(HANDLE file, long offset, SeekOrigin origin, TVN_DWORD* newPosition) {
    unsigned long long position = 0;
    if (!env().fileSeek(file, offset, origin, &position) || position > 0xFFFFFFFEull) return 0;
    if (newPosition) *newPosition = static_cast<TVN_DWORD>(position);
    return 1;
}

int fileSeekTo(HANDLE file, TVN_DWORD position) {
    unsigned long long reached = 0;
    return env().fileSeek(file, static_cast<long long>(position), SeekBegin, &reached) && reached == position;
}

} // namespace plat
} // namespace tvn
