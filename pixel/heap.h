// The library's C-heap: every allocation of pixels, names and records goes
// through here to the environment's memory, so sizes are checked in one place
// and a program that installs its own environment sees (and may fail) each one.
#ifndef TIVORN_HEAP_H
#define TIVORN_HEAP_H

#include <cstddef>
#include "tivorn/types.h"

namespace tvn::pixel {

// null on failure (including a request above the allocation limit).
void* heapAlloc(std::size_t bytes);
void* heapAllocZero(std::size_t bytes);
void* heapRealloc(void* block, std::size_t bytes);
void heapFree(void* block);

// Stores a × b × c in *bytes; false when the product does not fit in 32 bits.
bool checkedSize(TVN_DWORD a, TVN_DWORD b, TVN_DWORD c, std::size_t* bytes);

// Allocates a × b × c bytes (zeroed when zero != 0) or throws message 1.
void* heapAllocOrThrow(TVN_DWORD a, TVN_DWORD b, TVN_DWORD c, int zero);

// Owns a C-heap block until released, so a thrown message frees temporaries.
class HeapBlock {
public:
    explicit HeapBlock(void* p = nullptr) : m_p(p) {}
    ~HeapBlock() { heapFree(m_p); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    void* get() const { return m_p; }
    template <class T> T* as() const { return static_cast<T*>(m_p); }
    void* release() {
        void* p = m_p;
        m_p = nullptr;
        return p;
    }
    void reset(void* p = nullptr) {
        heapFree(m_p);
        m_p = p;
    }

private:
    void* m_p;
};

} // namespace tvn::pixel

#endif
