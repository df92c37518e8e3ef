// The host's file procs (tvnSetFileProcs): while installed they serve every file
// call of the environment's system table; tvnGetSystemFileProcs hands the
// system's own calls to a host that passes on what it does not serve.
#include "platform/host_hooks.h"
#include "platform/system.h"
#include "tivorn/host.h"

namespace tvn {
namespace plat {
namespace {

TVN_FILE_PROCS g_procs;
std::atomic<const TVN_FILE_PROCS*> g_installed{nullptr};

const TVN_FILE_PROCS* installed() {
    return g_installed.load(std::memory_order_acquire);
}

bool isFile(HANDLE file) {
    return file && file != INVALID_HANDLE_VALUE;
}

// The system's calls in the shape of the host's procs.
void* TVN_CDECL systemOpen(const char* path, int access, void*) {
    const HANDLE file = sys::fileOpen(path, static_cast<FileAccess>(access));
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}
int TVN_CDECL systemRead(void* file, void* buffer, TVN_DWORD size, TVN_DWORD* got, void*) {
    return sys::fileRead(file, buffer, size, got);
}
int TVN_CDECL systemWrite(void* file, const void* data, TVN_DWORD size, TVN_DWORD* written, void*) {
    return sys::fileWrite(file, data, size, written);
}
int TVN_CDECL systemSeek(void* file, TVN_INT64 offset, int origin, TVN_UINT64* position, void*) {
    unsigned long long reached = 0;
    const int ok = sys::fileSeek(file, offset, static_cast<SeekOrigin>(origin), &reached);
    if (ok && position) *position = reached;
    return ok;
}
TVN_DWORD TVN_CDECL systemSize(void* file, void*) {
    return sys::fileSize(file);
}
int TVN_CDECL systemTruncate(void* file, void*) {
    return sys::fileTruncate(file);
}
int TVN_CDECL systemSync(void* file, void*) {
    return sys::fileSync(file);
}
int TVN_CDECL systemTime(void* file, FILETIME* lastWrite, void*) {
    return sys::fileTime(file, lastWrite);
}
void TVN_CDECL systemClose(void* file, void*) {
    sys::fileClose(file);
}
int TVN_CDECL systemExists(const char* path, void*) {
    return sys::fileExists(path);
}
int TVN_CDECL systemRemove(const char* path, void*) {
    return sys::fileRemove(path);
}

} // namespace

HANDLE hooks::fileOpen(const char* path, FileAccess access) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileOpen(path, access);
    void* file = p->open(path, static_cast<int>(access), p->user);
    return file ? file : INVALID_HANDLE_VALUE;
}
int hooks::fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileRead(file, buffer, size, got);
    if (got) *got = 0;
    TVN_DWORD n = 0;
    const int ok = isFile(file) && p->read(file, buffer, size, &n, p->user);
    if (got) *got = n;
    return ok;
}
int hooks::fileWrite(HANDLE file, const void* data, TVN_DWORD size, TVN_DWORD* written) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileWrite(file, data, size, written);
    TVN_DWORD n = 0;
    const int ok = isFile(file) && p->write(file, data, size, &n, p->user) && n == size;
    if (written) *written = n;
    return ok;
}
int hooks::fileSeek(HANDLE file, long long offset, SeekOrigin origin, unsigned long long* position) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileSeek(file, offset, origin, position);
    TVN_UINT64 reached = 0;
    if (!isFile(file) || !p->seek(file, offset, static_cast<int>(origin), &reached, p->user)) return 0;
    if (position) *position = reached;
    return 1;
}
TVN_DWORD hooks::fileSize(HANDLE file) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileSize(file);
    return isFile(file) ? p->size(file, p->user) : kInvalidFileSize;
}
int hooks::fileTruncate(HANDLE file) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileTruncate(file);
    return isFile(file) && p->truncate(file, p->user);
}
int hooks::fileSync(HANDLE file) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileSync(file);
    return isFile(file) && p->sync(file, p->user);
}
void hooks::fileWriteBack(HANDLE file, unsigned long long offset, unsigned long long length) {
    if (!installed()) sys::fileWriteBack(file, offset, length); // a host's files sync when asked
}
int hooks::fileTime(HANDLE file, FILETIME* lastWrite) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileTime(file, lastWrite);
    return isFile(file) && lastWrite && p->time(file, lastWrite, p->user);
}
void hooks::fileClose(HANDLE file) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileClose(file);
    if (isFile(file)) p->close(file, p->user);
}
int hooks::fileExists(const char* path) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileExists(path);
    return p->exists(path, p->user) ? 1 : 0;
}
int hooks::fileRemove(const char* path) {
    const TVN_FILE_PROCS* p = installed();
    if (!p) return sys::fileRemove(path);
    return p->remove(path, p->user) ? 1 : 0;
}

} // namespace plat
} // namespace tvn

extern "C" TVN_API void TVN_CDECL tvnSetFileProcs(const TVN_FILE_PROCS* procs) {
    using namespace tvn::plat;
    if (!procs) {
        g_installed.store(nullptr, std::memory_order_release);
        return;
    }
    g_procs = *procs;
    g_installed.store(&g_procs, std::memory_order_release);
}

extern "C" TVN_API void TVN_CDECL tvnGetSystemFileProcs(TVN_FILE_PROCS* procs) {
    using namespace tvn::plat;
    if (!procs) return;
    *procs = TVN_FILE_PROCS{nullptr,      systemOpen,     systemRead, systemWrite, systemSeek,   systemSize,
                            systemTruncate, systemSync, systemTime, systemClose, systemExists, systemRemove};
}
