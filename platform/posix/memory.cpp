// Large blocks on POSIX systems: aligned to huge pages and advised for them where
// Linux offers transparent huge pages, so a fresh block is faulted in 2 MiB at a
// time instead of 4 KiB.
#include "platform/memory.h"

#include <sys/mman.h>
#include <cstdint>
#include <cstdlib>

namespace tvn {
namespace plat {

void* allocLargeBlock(std::size_t bytes) {
    void* block = nullptr;
    if (posix_memalign(&block, kHugePageBytes, bytes ? bytes : 1) != 0) return nullptr;
    adviseHugePages(block, bytes);
    return block;
}

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

} // namespace plat
} // namespace tvn
