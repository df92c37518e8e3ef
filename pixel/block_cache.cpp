#include "pixel/block_cache.h"
#include "platform/memory.h"
#include "platform/threads.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define TVN_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define TVN_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define TVN_POISON(p, n) ((void)(p), (void)(n))
#define TVN_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace tvn::pixel::blocks {

namespace {
struct Parked {
    void* block;
    std::size_t bytes;
};

// Oldest first. A parked block is poisoned under AddressSanitizer, so a use
// after heapFree is still reported although the block is not freed.
Parked g_parked[kMaxBlocks];
std::size_t g_count = 0, g_bytes = 0;

Parked removeAt(std::size_t i) {
    const Parked p = g_parked[i];
    for (; i + 1 < g_count && i + 1 < kMaxBlocks; ++i) g_parked[i] = g_parked[i + 1];
    --g_count;
    g_bytes -= p.bytes;
    return p;
}

void freeParked(const Parked& p) {
    TVN_UNPOISON(p.block, p.bytes);
    plat::env().memoryFree(p.block);
}

// Made on first use, which is at the latest when the library is loaded (see
// the end of this file), so it outlives every use at unload.
plat::RecursiveLock& parkLock() {
    static plat::RecursiveLock lock;
    return lock;
}
} // namespace

void* take(std::size_t bytes) {
    Parked found = {nullptr, 0};
    {
        plat::LockHold hold(parkLock());
        for (std::size_t i = g_count; i-- > 0;) {
            const std::size_t have = g_parked[i].bytes;
            if (have >= bytes && have - bytes <= bytes / 4 + plat::kHugePageBytes) {
                found = removeAt(i);
                break;
            }
        }
    }
    TVN_UNPOISON(found.block, found.bytes);
    return found.block;
}

bool park(void* block) {
    const std::size_t bytes = plat::env().largeBytes(block);
    if (bytes == 0 || bytes > kMaxBytes) return false;
    Parked evicted[kMaxBlocks];
    std::size_t evictedCount = 0;
    TVN_POISON(block, bytes);
    {
        plat::LockHold hold(parkLock());
        while (g_count > 0 && (g_count == kMaxBlocks || g_bytes + bytes > kMaxBytes))
            evicted[evictedCount++] = removeAt(0);
        g_parked[g_count++] = {block, bytes};
        g_bytes += bytes;
    }
    for (std::size_t i = 0; i < evictedCount; ++i) freeParked(evicted[i]);
    return true;
}

void releaseAll() {
    Parked all[kMaxBlocks];
    std::size_t count = 0;
    {
        plat::LockHold hold(parkLock());
        while (g_count) all[count++] = removeAt(0);
    }
    for (std::size_t i = 0; i < count; ++i) freeParked(all[i]);
}

namespace {
// Parked blocks go back to the system when the library is unloaded, not only at
// exit. The lock is made first, so it is destroyed after this.
struct ReleaseAtUnload {
    ReleaseAtUnload() { parkLock(); }
    ~ReleaseAtUnload() { releaseAll(); }
} g_releaseAtUnload;
} // namespace

} // namespace tvn::pixel::blocks
