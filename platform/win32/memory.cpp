// Large blocks on Windows: large pages need a privilege hosts seldom hold, so a
// large block is a plain one and the advice is not taken.
#include "platform/memory.h"

#include <cstdlib>
#include <malloc.h>

namespace tvn {
namespace plat {

void* allocLargeBlock(std::size_t bytes) {
    return std::malloc(bytes ? bytes : 1);
}

std::size_t largeBlockBytes(void* block) {
    const std::size_t bytes = _msize(block);
    return bytes >= kHugePageBytes ? bytes : 0;
}

void adviseHugePages(void*, std::size_t) {}

} // namespace plat
} // namespace tvn
