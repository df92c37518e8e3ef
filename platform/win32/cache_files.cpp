// The cache's opens and positions through the Win32 kernel calls.
#include "platform/cache_files.h"
#include "platform/file_hook.h"

namespace tvn {
namespace plat {

HANDLE cacheFileOpenShared(const char* path) {
    if (!path) return INVALID_HANDLE_VALUE;
    if (const testing::FileHook* hook = fileHook()) {
        HANDLE own = hook->open(path);
        if (own != INVALID_HANDLE_VALUE) return own;
    }
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE cacheFileOpenQuery(const char* path) {
    if (!path) return INVALID_HANDLE_VALUE;
    if (const testing::FileHook* hook = fileHook()) {
        HANDLE own = hook->open(path);
        if (own != INVALID_HANDLE_VALUE) return own;
    }
    return CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

int cacheFileSeekTo(HANDLE file, TVN_DWORD position) {
    if (file == INVALID_HANDLE_VALUE || !file) return 0;
    if (hookOf(file)) {
        if (position > 0x7FFFFFFFu) return 0;
        return fileSeek(file, static_cast<long>(position), SeekBegin, nullptr);
    }
    LONG high = 0; // positions above 2 GB need the high half to read as unsigned
    const DWORD r = SetFilePointer(file, static_cast<LONG>(position), &high, FILE_BEGIN);
    return !(r == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

} // namespace plat
} // namespace tvn
