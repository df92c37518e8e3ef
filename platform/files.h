// Files, with the contract of the Win32 file calls the core was written against.
#ifndef TIVORN_PLATFORM_FILES_H
#define TIVORN_PLATFORM_FILES_H

#include "tivorn/types.h"

namespace tvn {
namespace plat {

enum SeekOrigin { SeekBegin = 0, SeekCurrent = 1, SeekEnd = 2 };
const TVN_DWORD kInvalidFileSize = 0xFFFFFFFFu;

// A handle is INVALID_HANDLE_VALUE on failure.
HANDLE fileOpenRead(const char* path);    // read access, read sharing, existing only
HANDLE fileCreateWrite(const char* path); // write access, read sharing, create always
HANDLE fileOpenReadWrite(const char* path, int createIfMissing);
// Reads up to size bytes; *got receives the count. 0 when the call itself failed.
int fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got);
int fileWrite(HANDLE file, const void* buffer, TVN_DWORD size, TVN_DWORD* written);
// Moves the file position; 0 on failure (for example before the start).
int fileSeek(HANDLE file, long offset, SeekOrigin origin, TVN_DWORD* newPosition);
TVN_DWORD fileSize(HANDLE file); // kInvalidFileSize on failure
int fileTruncate(HANDLE file);   // end of file at the current position
int fileLastWriteTime(HANDLE file, FILETIME* time);
void fileClose(HANDLE file); // accepts INVALID_HANDLE_VALUE and null

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
