// Files through the Win32 kernel calls.
#include "platform/file_hook.h"
#include "platform/paths.h"

namespace tvn {
namespace plat {

HANDLE fileOpenRead(const char* path) {
    if (!path) return INVALID_HANDLE_VALUE;
    if (const testing::FileHook* hook = fileHook()) {
        HANDLE own = hook->open(path);
        if (own != INVALID_HANDLE_VALUE) return own;
    }
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE fileCreateWrite(const char* path) {
    if (!path) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE fileOpenReadWrite(const char* path, int createIfMissing) {
    if (!path) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                       createIfMissing ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got) {
    if (got) *got = 0;
    if (file == INVALID_HANDLE_VALUE || !file) return 0;
    if (const testing::FileHook* hook = hookOf(file)) return hook->read(file, buffer, size, got);
    DWORD n = 0;
    BOOL ok = ReadFile(file, buffer, size, &n, nullptr);
    if (got) *got = n;
    return ok ? 1 : 0;
}

int fileWrite(HANDLE file, const void* buffer, TVN_DWORD size, TVN_DWORD* written) {
    if (written) *written = 0;
    if (file == INVALID_HANDLE_VALUE || !file || hookOf(file)) return 0;
    DWORD n = 0;
    BOOL ok = WriteFile(file, buffer, size, &n, nullptr);
    if (written) *written = n;
    return ok && n == size;
}

int fileSeek(HANDLE file, long offset, SeekOrigin origin, TVN_DWORD* newPosition) {
    if (file == INVALID_HANDLE_VALUE || !file) return 0;
    if (const testing::FileHook* hook = hookOf(file)) return hook->seek(file, offset, origin, newPosition);
    DWORD method = origin == SeekBegin ? FILE_BEGIN : origin == SeekCurrent ? FILE_CURRENT : FILE_END;
    DWORD r = SetFilePointer(file, offset, nullptr, method);
    if (r == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return 0;
    if (newPosition) *newPosition = r;
    return 1;
}

TVN_DWORD fileSize(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE || !file) return kInvalidFileSize;
    if (const testing::FileHook* hook = hookOf(file)) return hook->size(file);
    return GetFileSize(file, nullptr);
}

int fileTruncate(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE || !file || hookOf(file)) return 0;
    return SetEndOfFile(file) ? 1 : 0;
}

int fileLastWriteTime(HANDLE file, FILETIME* time) {
    if (file == INVALID_HANDLE_VALUE || !file || !time || hookOf(file)) return 0;
    return GetFileTime(file, nullptr, nullptr, time) ? 1 : 0;
}

void fileClose(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE || !file) return;
    if (const testing::FileHook* hook = hookOf(file)) {
        hook->close(file);
        return;
    }
    CloseHandle(file);
}

int pathExists(const char* path) {
    if (!path) return 0;
    const testing::FileHook* hook = fileHook();
    if (hook && hook->exists(path)) return 1;
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace plat
} // namespace tvn
