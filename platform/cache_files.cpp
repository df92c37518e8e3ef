// The parts of the cache's file calls that are the same on every platform.
#include "platform/cache_files.h"
#include "platform/file_hook.h"

#include <atomic>

namespace tvn {
namespace plat {

namespace {
std::atomic<long long> g_writeBudget{-1};

// Takes `size` bytes from the armed budget; false (and disarmed) when they do not fit.
bool takeFromBudget(TVN_DWORD size) {
    long long left = g_writeBudget.load();
    while (left >= 0) {
        const long long next = left >= static_cast<long long>(size) ? left - size : -1;
        if (g_writeBudget.compare_exchange_weak(left, next)) return next >= 0;
    }
    return true;
}
} // namespace

void cacheFileFailWriteAfter(long long bytes) {
    g_writeBudget.store(bytes < 0 ? -1 : bytes);
}

int cacheFileWrite(HANDLE file, const void* data, TVN_DWORD size) {
    if (!takeFromBudget(size)) return 0;
    TVN_DWORD written = 0;
    return fileWrite(file, data, size, &written) && written == size;
}

int cacheFileTime(HANDLE file, FILETIME* time) {
    if (!time || file == INVALID_HANDLE_VALUE || !file) return 0;
    if (hookOf(file)) { // files a test supplies have no time
        time->dwLowDateTime = 0;
        time->dwHighDateTime = 0;
        return 1;
    }
    return fileLastWriteTime(file, time);
}

} // namespace plat
} // namespace tvn
