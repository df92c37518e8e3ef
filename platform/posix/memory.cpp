// Memory advice on POSIX systems: transparent huge pages where Linux offers them.
#include "../platform.h"

#include <sys/mman.h>
#include <unistd.h>
#include <cstdint>

namespace tvn {
namespace plat {

void adviseHugePages(void* block, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    const std::uintptr_t huge = 2u << 20;
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
