// Files over memory blocks for tests, benches and fuzzers (the tivorn_testing
// library): a name registered here opens, in the product's file calls, the block
// instead of whatever the file system holds under it.
#ifndef TIVORN_PLATFORM_TESTING_MEMORY_FILES_H
#define TIVORN_PLATFORM_TESTING_MEMORY_FILES_H

#include <cstddef>

namespace tvn {
namespace plat {

// The block is copied; the name stays valid until memoryFileRemove. The first
// call installs the memory files as the file hook.
void memoryFileAdd(const char* path, const void* data, std::size_t size);
void memoryFileRemove(const char* path);

} // namespace plat
} // namespace tvn

#endif
