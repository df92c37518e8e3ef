// Memory on Windows: the C runtime heap. Large pages need a privilege hosts
// seldom hold, so a large block is a plain one.
#include "platform/memory.h"
#include "platform/system.h"

#include <cstdlib>
#include <malloc.h>

namespace tvn {
namespace plat {

void* sys::memoryAlloc(std::size_t bytes, int zero) {
    return zero ? std::calloc(bytes, 1) : std::malloc(bytes);
}

void* sys::memoryRealloc(void* block, std::size_t bytes) {
    return std::realloc(block, bytes);
}

void sys::memoryFree(void* block) {
    std::free(block);
}

void* sys::largeAlloc(std::size_t bytes) {
    return std::malloc(bytes ? bytes : 1);
}

std::size_t sys::largeBytes(void* block) {
    if (!block) return 0;
    const std::size_t bytes = _msize(block);
    return bytes >= kHugePageBytes ? bytes : 0;
}

} // namespace plat
} // namespace tvn
