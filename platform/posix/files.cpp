// Files on POSIX systems, with the contract of the Win32 file calls the core
// uses. There are no share modes; folders are refused as they are by CreateFileA.
#include "platform/system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <new>

namespace tvn {
namespace plat {

namespace {

struct PosixFile {
    int fd;
};

HANDLE wrap(int fd) {
    if (fd < 0) return INVALID_HANDLE_VALUE;
    PosixFile* file = new (std::nothrow) PosixFile{fd};
    if (file) return reinterpret_cast<HANDLE>(file);
    ::close(fd);
    return INVALID_HANDLE_VALUE;
}

bool isFile(HANDLE h) {
    return h && h != INVALID_HANDLE_VALUE;
}

int fdOf(HANDLE h) {
    return reinterpret_cast<PosixFile*>(h)->fd;
}

bool isFolder(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

int flagsFor(FileAccess access) {
    switch (access) {
    case FileRead:
    case FileReadShared: return O_RDONLY;
    case FileQuery: return O_PATH; // no access: enough to ask for the file's times
    case FileCreateWrite: return O_WRONLY | O_CREAT | O_TRUNC;
    case FileReadWrite: return O_RDWR;
    case FileReadWriteCreate: return O_RDWR | O_CREAT;
    }
    return -1;
}

} // namespace

HANDLE sys::fileOpen(const char* path, FileAccess access) {
    const int flags = flagsFor(access);
    if (!path || flags < 0 || isFolder(path)) return INVALID_HANDLE_VALUE;
    int fd;
    do fd = ::open(path, flags | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    return wrap(fd);
}

int sys::fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got) {
    if (got) *got = 0;
    if (!isFile(file)) return 0;
    TVN_DWORD total = 0;
    char* p = static_cast<char*>(buffer);
    while (total < size) {
        const ssize_t n = ::read(fdOf(file), p + total, size - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            return 0;
        }
        if (n == 0) break;
        total += static_cast<TVN_DWORD>(n);
    }
    if (got) *got = total;
    return 1;
}

int sys::fileWrite(HANDLE file, const void* data, TVN_DWORD size, TVN_DWORD* written) {
    if (written) *written = 0;
    if (!isFile(file)) return 0;
    TVN_DWORD total = 0;
    const char* p = static_cast<const char*>(data);
    while (total < size) {
        const ssize_t n = ::write(fdOf(file), p + total, size - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        total += static_cast<TVN_DWORD>(n);
    }
    if (written) *written = total;
    return total == size;
}

int sys::fileSeek(HANDLE file, long long offset, SeekOrigin origin, unsigned long long* position) {
    if (!isFile(file)) return 0;
    const int whence = origin == SeekBegin ? SEEK_SET : origin == SeekCurrent ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(fdOf(file), static_cast<off_t>(offset), whence);
    if (r < 0) return 0;
    if (position) *position = static_cast<unsigned long long>(r);
    return 1;
}

TVN_DWORD sys::fileSize(HANDLE file) {
    if (!isFile(file)) return kInvalidFileSize;
    struct stat st;
    if (fstat(fdOf(file), &st) != 0 || st.st_size >= static_cast<off_t>(kInvalidFileSize)) return kInvalidFileSize;
    return static_cast<TVN_DWORD>(st.st_size);
}

int sys::fileTruncate(HANDLE file) {
    if (!isFile(file)) return 0;
    const off_t pos = ::lseek(fdOf(file), 0, SEEK_CUR);
    return pos >= 0 && ::ftruncate(fdOf(file), pos) == 0;
}

int sys::fileSync(HANDLE file) {
    return isFile(file) && ::fsync(fdOf(file)) == 0;
}

void sys::fileWriteBack(HANDLE file, unsigned long long offset, unsigned long long length) {
#if defined(SYNC_FILE_RANGE_WRITE)
    if (isFile(file)) sync_file_range(fdOf(file), static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
#else
    (void)file, (void)offset, (void)length;
#endif
}

int sys::fileTime(HANDLE file, FILETIME* time) {
    if (!isFile(file) || !time) return 0;
    struct stat st;
    if (fstat(fdOf(file), &st) != 0) return 0;
    // 100-ns intervals since 1601-01-01, as the Windows file time.
    const unsigned long long t =
        (static_cast<unsigned long long>(st.st_mtim.tv_sec) + 11644473600ULL) * 10000000ULL +
        static_cast<unsigned long long>(st.st_mtim.tv_nsec) / 100ULL;
    time->dwLowDateTime = static_cast<uint32_t>(t);
    time->dwHighDateTime = static_cast<uint32_t>(t >> 32);
    return 1;
}

void sys::fileClose(HANDLE file) {
    if (!isFile(file)) return;
    ::close(fdOf(file));
    delete reinterpret_cast<PosixFile*>(file);
}

int sys::fileExists(const char* path) {
    struct stat st;
    return path && stat(path, &st) == 0;
}

int sys::fileRemove(const char* path) {
    return path && ::unlink(path) == 0;
}

} // namespace plat
} // namespace tvn
