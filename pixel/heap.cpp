#include "pixel/heap.h"
#include "pixel/block_cache.h"
#include "pixel/module_start.h"
#include "platform/environment.h"
#include "platform/memory.h"

#include <cstring>

namespace tvn::pixel {

namespace {
// Sizes are 32-bit in the library's interface: no single block is larger.
bool allowed(std::size_t bytes) {
    return sizeof bytes <= 4 || (static_cast<unsigned long long>(bytes) >> 32) == 0;
}

// malloc(0) may give null; the library treats a 0-byte block as a valid one.
std::size_t atLeastOne(std::size_t bytes) {
    return bytes ? bytes : 1;
}

// Pictures, their copies and every working buffer of a big picture: these are
// filled right after they are made, and first touches of 4 KiB pages would cost
// more than the filling, so they are laid out for huge pages. They remain C-heap
// blocks: heapFree and heapRealloc treat them like the others.
bool isLarge(std::size_t bytes) {
    return bytes >= plat::kHugePageBytes;
}

// A freed block of about the size when one waits, else a fresh one.
void* largeBlock(std::size_t bytes) {
    void* reused = blocks::take(bytes);
    return reused ? reused : plat::env().largeAlloc(bytes);
}
} // namespace

void* heapAlloc(std::size_t bytes) {
    if (!allowed(bytes)) return nullptr;
    return isLarge(bytes) ? largeBlock(bytes) : plat::env().memoryAlloc(atLeastOne(bytes), 0);
}

void* heapAllocZero(std::size_t bytes) {
    if (!allowed(bytes)) return nullptr;
    if (!isLarge(bytes)) return plat::env().memoryAlloc(atLeastOne(bytes), 1);
    void* block = largeBlock(bytes);
    if (block) std::memset(block, 0, bytes);
    return block;
}

void* heapRealloc(void* block, std::size_t bytes) {
    if (!allowed(bytes)) return nullptr;
    return plat::env().memoryRealloc(block, atLeastOne(bytes));
}

void heapFree(void* block) {
    if (block && !blocks::park(block)) plat::env().memoryFree(block);
}

bool checkedSize(TVN_DWORD a, TVN_DWORD b, TVN_DWORD c, std::size_t* bytes) {
    unsigned long long p = static_cast<unsigned long long>(a) * b;
    if (p > 0xFFFFFFFFull) return false;
    p *= c;
    if (p > 0xFFFFFFFFull || p > static_cast<unsigned long long>(static_cast<std::size_t>(-1))) return false;
    *bytes = static_cast<std::size_t>(p);
    return true;
}

void* heapAllocOrThrow(TVN_DWORD a, TVN_DWORD b, TVN_DWORD c, int zero) {
    std::size_t bytes = 0;
    if (!checkedSize(a, b, c, &bytes)) throwMessage(Msg::OutOfMemory);
    void* p = zero ? heapAllocZero(bytes) : heapAlloc(bytes);
    if (!p) throwMessage(Msg::OutOfMemory);
    return p;
}

} // namespace tvn::pixel
