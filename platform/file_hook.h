// The test seam of the file calls: files a test, bench or fuzzer supplies in place
// of the system's. No hook is installed in the product, so its file calls cost
// one atomic load and nothing else. Hook handles have bit 0 set, which system
// handles never do (multiples of four on Windows, our own objects on POSIX).
#ifndef TIVORN_PLATFORM_FILE_HOOK_H
#define TIVORN_PLATFORM_FILE_HOOK_H

#include <atomic>
#include <cstdint>

#include "platform/files.h"

namespace tvn {
namespace plat {
namespace testing {

// Read-only files: writes, truncation and file times fail on hook handles.
struct FileHook {
    HANDLE (*open)(const char* path); // INVALID_HANDLE_VALUE: not the hook's, the system opens it
    bool (*exists)(const char* path);
    int (*read)(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got);
    int (*seek)(HANDLE file, long offset, SeekOrigin origin, TVN_DWORD* newPosition);
    TVN_DWORD (*size)(HANDLE file);
    void (*close)(HANDLE file);
};

// Installs hook (null removes it). hook must outlive every handle it opened.
void setFileHook(const FileHook* hook);

} // namespace testing

namespace detail {
extern std::atomic<const testing::FileHook*> g_fileHook;
}

inline const testing::FileHook* fileHook() {
    return detail::g_fileHook.load(std::memory_order_acquire);
}

// The hook that opened file, or null for a system handle.
inline const testing::FileHook* hookOf(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE || (reinterpret_cast<std::uintptr_t>(file) & 1u) == 0) return nullptr;
    return fileHook();
}

} // namespace plat
} // namespace tvn

#endif
