// Files on POSIX systems, with the contract of the Win32 file calls the core uses.
#include "platform/file_hook.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace tvn {
namespace plat {

namespace {

struct PosixFile {
    int fd;
};

HANDLE wrap(int fd) {
    if (fd < 0) return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(new PosixFile{fd});
}

int fdOf(HANDLE h) {
    return reinterpret_cast<PosixFile*>(h)->fd;
}

bool isRegularOrMissing(const char* path) {
    struct stat st;
    if (stat(path, &st) != 0) return true;
    return !S_ISDIR(st.st_mode);
}

} // namespace

HANDLE fileOpenRead(const char* path) {
    if (!path) return INVALID_HANDLE_VALUE;
    if (const testing::FileHook* hook = fileHook()) {
        HANDLE own = hook->open(path);
        if (own != INVALID_HANDLE_VALUE) return own;
    }
    if (!isRegularOrMissing(path)) return INVALID_HANDLE_VALUE;
    return wrap(::open(path, O_RDONLY | O_CLOEXEC));
}

HANDLE fileCreateWrite(const char* path) {
    if (!path || !isRegularOrMissing(path)) return INVALID_HANDLE_VALUE;
    return wrap(::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

HANDLE fileOpenReadWrite(const char* path, int createIfMissing) {
    if (!path || !isRegularOrMissing(path)) return INVALID_HANDLE_VALUE;
    return wrap(::open(path, O_RDWR | O_CLOEXEC | (createIfMissing ? O_CREAT : 0), 0644));
}

int fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got) {
    if (got) *got = 0;
    if (file == INVALID_HANDLE_VALUE || !file) return 0;
    if (const testing::FileHook* hook = hookOf(file)) return hook->read(file, buffer, size, got);
    TVN_DWORD total = 0;
    char* p = static_cast<char*>(buffer);
    while (total < size) {
        ssize_t n = ::read(fdOf(file), p + total, size - total);
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

int fileWrite(HANDLE file, const void* buffer, TVN_DWORD size, TVN_DWORD* written) {
    if (written) *written = 0;
    if (file == INVALID_HANDLE_VALUE || !file || hookOf(file)) return 0;
    TVN_DWORD total = 0;
    const char* p = static_cast<const char*>(buffer);
    while (total < size) {
        ssize_t n = ::write(fdOf(file), p + total, size - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        total += static_cast<TVN_DWORD>(n);
    }
    if (written) *written = total;
    return total == size;
}

int fileSeek(HANDLE file, long offset, SeekOrigin origin, TVN_DWORD* newPosition) {
    if (file == INVALID_HANDLE_VALUE || !file) return 0;
    if (const testing::FileHook* hook = hookOf(file)) return hook->seek(file, offset, origin, newPosition);
    int whence = origin == SeekBegin ? SEEK_SET : origin == SeekCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(fdOf(file), static_cast<off_t>(offset), whence);
    if (r < 0 || r > static_cast<off_t>(0xFFFFFFFEu)) return 0;
    if (newPosition) *newPosition = static_cast<TVN_DWORD>(r);
    return 1;
}

TVN_DWORD fileSize(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE || !file) return kInvalidFileSize;
    if (const testing::FileHook* hook = hookOf(file)) return hook->size(file);
    struct stat st;
    if (fstat(fdOf(file), &st) != 0 || st.st_size >= static_cast<off_t>(kInvalidFileSize))
        return kInvalidFileSize;
    return static_cast<TVN_DWORD>(st.st_size);
}

int fileTruncate(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE || !file || hookOf(file)) return 0;
    off_t pos = ::lseek(fdOf(file), 0, SEEK_CUR);
    return pos >= 0 && ::ftruncate(fdOf(file), pos) == 0;
}

int fileLastWriteTime(HANDLE file, FILETIME* time) {
    if (file == INVALID_HANDLE_VALUE || !file || !time || hookOf(file)) return 0;
    struct stat st;
    if (fstat(fdOf(file), &st) != 0) return 0;
    // 100-ns intervals since 1601-01-01, as the Windows file time.
    unsigned long long t = (static_cast<unsigned long long>(st.st_mtim.tv_sec) + 11644473600ULL) * 10000000ULL +
                           static_cast<unsigned long long>(st.st_mtim.tv_nsec) / 100ULL;
    time->dwLowDateTime = static_cast<uint32_t>(t);
    time->dwHighDateTime = static_cast<uint32_t>(t >> 32);
    return 1;
}

void fileClose(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE || !file) return;
    if (const testing::FileHook* hook = hookOf(file)) {
        hook->close(file);
        return;
    }
    ::close(fdOf(file));
    delete reinterpret_cast<PosixFile*>(file);
}

int pathExists(const char* path) {
    if (!path) return 0;
    const testing::FileHook* hook = fileHook();
    if (hook && hook->exists(path)) return 1;
    struct stat st;
    return stat(path, &st) == 0;
}

} // namespace plat
} // namespace tvn
