// Files, with the contract of the Win32 file calls the core was written against,
// served by the installed environment.
#ifndef TIVORN_PLATFORM_FILES_H
#define TIVORN_PLATFORM_FILES_H

#include "platform/environment.h"

namespace tvn {
namespace plat {

inline HANDLE fileOpen(const char* path, FileAccess access) {
    return path ? env().fileOpen(path, access) : INVALID_HANDLE_VALUE;
}
inline HANDLE fileOpenRead(const char* path) {
    return fileOpen(path, FileRead);
}
inline HANDLE fileCreateWrite(const char* path) {
    return fileOpen(path, FileCreateWrite);
}
inline HANDLE fileOpenReadWrite(const char* path, int createIfMissing) {
    return fileOpen(path, createIfMissing ? FileReadWriteCreate : FileReadWrite);
}
// Reads up to size bytes; *got receives the count. 0 when the call itself failed.
inline int fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got) {
    return env().fileRead(file, buffer, size, got);
}
inline int fileWrite(HANDLE file, const void* buffer, TVN_DWORD size, TVN_DWORD* written) {
    return env().fileWrite(file, buffer, size, written);
}
// Writes all of size bytes or fails.
int fileWriteAll(HANDLE file, const void* data, TVN_DWORD size);
// Moves the file position by a 32-bit offset; 0 on failure (before the start,
// or past the positions a 32-bit offset can name).
int fileSeek(HANDLE file, long offset, SeekOrigin origin, TVN_DWORD* newPosition);
// Moves to an absolute position anywhere below 4 GB.
int fileSeekTo(HANDLE file, TVN_DWORD position);
inline TVN_DWORD fileSize(HANDLE file) { // kInvalidFileSize on failure
    return env().fileSize(file);
}
inline int fileTruncate(HANDLE file) { // end of file at the current position
    return env().fileTruncate(file);
}
inline int fileSync(HANDLE file) {
    return env().fileSync(file);
}
inline void fileWriteBack(HANDLE file, unsigned long long offset, unsigned long long length) {
    env().fileWriteBack(file, offset, length);
}
// Last-write time as a FILETIME: 100-ns units since 1601-01-01 UTC, the same
// value on every platform for the same file time.
inline int fileLastWriteTime(HANDLE file, FILETIME* time) {
    return time ? env().fileTime(file, time) : 0;
}
inline void fileClose(HANDLE file) { // accepts INVALID_HANDLE_VALUE and null
    env().fileClose(file);
}
inline int fileRemove(const char* path) {
    return path ? env().fileRemove(path) : 0;
}

// Owns an open file and closes it on every way out, the thrown ones included.
class CPlatformFile {
public:
    explicit CPlatformFile(HANDLE file = INVALID_HANDLE_VALUE) : m_hFile(file) {}
    ~CPlatformFile() { fileClose(m_hFile); }
    CPlatformFile(CPlatformFile&& other) noexcept : m_hFile(other.release()) {}
    CPlatformFile& operator=(CPlatformFile&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    CPlatformFile(const CPlatformFile&) = delete;
    CPlatformFile& operator=(const CPlatformFile&) = delete;

    static CPlatformFile openRead(const char* path) { return CPlatformFile(fileOpenRead(path)); }
    static CPlatformFile createWrite(const char* path) { return CPlatformFile(fileCreateWrite(path)); }

    bool isOpen() const { return m_hFile != INVALID_HANDLE_VALUE && m_hFile; }
    HANDLE handle() const { return m_hFile; }
    HANDLE release() {
        HANDLE h = m_hFile;
        m_hFile = INVALID_HANDLE_VALUE;
        return h;
    }
    void reset(HANDLE file = INVALID_HANDLE_VALUE) {
        fileClose(m_hFile);
        m_hFile = file;
    }

private:
    HANDLE m_hFile;
};

} // namespace plat
} // namespace tvn

#endif
