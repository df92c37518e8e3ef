// Memory on POSIX systems: the C heap, with large blocks aligned to huge pages
// and advised for them where Linux offers transparent huge pages, so a fresh
// block is faulted in 2 MiB at a time instead of 4 KiB.
#include "platform/memory.h"
#include "platform/system.h"

#include <sys/mman.h>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>

namespace tvn {
namespace plat {

namespace {

// Asks for huge pages behind the whole huge pages inside a block that is about
// to be filled. Only advice: may do nothing.
void adviseHugePages(void* block, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    const std::uintptr_t huge = kHugePageBytes;
    std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(block);
    std::uintptr_t end = begin + bytes;
    // Only whole huge pages inside the block can be backed by one.
    begin = (begin + huge - 1) & ~(huge - 1);
    end &= ~(huge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

} // namespace

void* sys::memoryAlloc(std::size_t bytes, int zero) {
    return zero ? std::calloc(bytes, 1) : std::malloc(bytes);
}

void* sys::memoryRealloc(void* block, std::size_t bytes) {
    void* moved = std::realloc(block, bytes);
    if (moved && bytes >= kHugePageBytes) adviseHugePages(moved, bytes);
    return moved;
}

void sys::memoryFree(void* block) {
    std::free(block);
}

void* sys::largeAlloc(std::size_t bytes) {
    // The tail past the last whole huge page would fault in 4 KiB at a time (a
    // 1280x720 frame: 430 faults besides its one huge page); it gets a huge page
    // of its own when that wastes at most a quarter of the block (a bound like
    // that of the size classes of common allocators).
    std::size_t size = bytes ? bytes : 1;
    const std::size_t rounded = (size + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    if (rounded >= size && rounded - size <= size / 4) size = rounded;
    void* block = nullptr;
    if (posix_memalign(&block, kHugePageBytes, size) != 0) return nullptr;
    adviseHugePages(block, size);
    return block;
}

std::size_t sys::largeBytes(void* block) {
    if (!block || reinterpret_cast<std::uintptr_t>(block) % kHugePageBytes != 0) return 0;
    const std::size_t bytes = malloc_usable_size(block);
    return bytes >= kHugePageBytes ? bytes : 0;
}

} // namespace plat
} // namespace tvn
