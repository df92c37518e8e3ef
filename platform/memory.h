// How the system's large blocks are laid out: the first touch of small fresh
// pages costs more than filling them, so big pixel buffers ask for huge pages
// (the environment's largeAlloc).
#ifndef TIVORN_PLATFORM_MEMORY_H
#define TIVORN_PLATFORM_MEMORY_H

#include <cstddef>

namespace tvn {
namespace plat {

// The huge page size the large blocks are laid out for.
const std::size_t kHugePageBytes = std::size_t(2) << 20;

} // namespace plat
} // namespace tvn

#endif
