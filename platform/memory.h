// Memory from the system for large blocks: the first touch of small fresh pages
// costs more than filling them, so big pixel buffers ask for huge pages.
#ifndef TIVORN_PLATFORM_MEMORY_H
#define TIVORN_PLATFORM_MEMORY_H

#include <cstddef>

namespace tvn {
namespace plat {

// The huge page size the large blocks are laid out for.
const std::size_t kHugePageBytes = std::size_t(2) << 20;

// A block of the C runtime heap (std::free and std::realloc take it), aligned to
// kHugePageBytes where the platform offers huge pages, and advised for them.
// Null when memory is short. Windows: plain malloc (large pages need a privilege
// hosts seldom hold).
void* allocLargeBlock(std::size_t bytes);

// The usable size of a C-heap block laid out as allocLargeBlock lays blocks out
// (at least what was asked for); 0 for a block laid out otherwise.
std::size_t largeBlockBytes(void* block);

// Asks for huge pages behind the whole huge pages inside a block that is about
// to be filled. Only advice: may do nothing.
void adviseHugePages(void* block, std::size_t bytes);

} // namespace plat
} // namespace tvn

#endif
