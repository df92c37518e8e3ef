// Files through the Win32 kernel calls.
#include "platform/system.h"

namespace tvn {
namespace plat {

namespace {

bool isFile(HANDLE h) {
    return h && h != INVALID_HANDLE_VALUE;
}

// Existence tests of missing drives and empty removable drives must not stop
// the host with the system's "no disk" box, as the shell's own test makes sure.
class NoCriticalErrorBoxes {
public:
    NoCriticalErrorBoxes() : m_old(0), m_set(SetThreadErrorMode(SEM_FAILCRITICALERRORS, &m_old) != 0) {}
    ~NoCriticalErrorBoxes() {
        if (m_set) SetThreadErrorMode(m_old, nullptr);
    }

private:
    DWORD m_old;
    bool m_set;
};

} // namespace

HANDLE sys::fileOpen(const char* path, FileAccess access) {
    if (!path) return INVALID_HANDLE_VALUE;
    DWORD rights = GENERIC_READ, sharing = FILE_SHARE_READ, disposition = OPEN_EXISTING;
    switch (access) {
    case FileRead: break;
    case FileReadShared: sharing = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    case FileQuery:
        rights = 0;
        sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    case FileCreateWrite:
        rights = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
        break;
    case FileReadWrite: rights = GENERIC_READ | GENERIC_WRITE; break;
    case FileReadWriteCreate:
        rights = GENERIC_READ | GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
        break;
    default: return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path, rights, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int sys::fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got) {
    if (got) *got = 0;
    if (!isFile(file)) return 0;
    DWORD n = 0;
    const BOOL ok = ReadFile(file, buffer, size, &n, nullptr);
    if (got) *got = n;
    return ok ? 1 : 0;
}

int sys::fileWrite(HANDLE file, const void* data, TVN_DWORD size, TVN_DWORD* written) {
    if (written) *written = 0;
    if (!isFile(file)) return 0;
    DWORD n = 0;
    const BOOL ok = WriteFile(file, data, size, &n, nullptr);
    if (written) *written = n;
    return ok && n == size;
}

int sys::fileSeek(HANDLE file, long long offset, SeekOrigin origin, unsigned long long* position) {
    if (!isFile(file)) return 0;
    const DWORD method = origin == SeekBegin ? FILE_BEGIN : origin == SeekCurrent ? FILE_CURRENT : FILE_END;
    LONG high = static_cast<LONG>(offset >> 32);
    const DWORD low = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return 0;
    if (position) *position = (static_cast<unsigned long long>(static_cast<DWORD>(high)) << 32) | low;
    return 1;
}

TVN_DWORD sys::fileSize(HANDLE file) {
    if (!isFile(file)) return kInvalidFileSize;
    return GetFileSize(file, nullptr);
}

int sys::fileTruncate(HANDLE file) {
    return isFile(file) && SetEndOfFile(file);
}

int sys::fileSync(HANDLE file) {
    return isFile(file) && FlushFileBuffers(file);
}

// The system's lazy writer starts on written pages by itself.
void sys::fileWriteBack(HANDLE, unsigned long long, unsigned long long) {}

int sys::fileTime(HANDLE file, FILETIME* time) {
    return isFile(file) && time && GetFileTime(file, nullptr, nullptr, time);
}

void sys::fileClose(HANDLE file) {
    if (isFile(file)) CloseHandle(file);
}

int sys::fileExists(const char* path) {
    if (!path) return 0;
    NoCriticalErrorBoxes quiet;
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int sys::fileRemove(const char* path) {
    return path && DeleteFileA(path);
}

} // namespace plat
} // namespace tvn
