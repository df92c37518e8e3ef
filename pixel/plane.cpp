#include "pixel/plane.h"

#include <algorithm>

#include "pixel/heap.h"

namespace tvn::pixel {

TVN_DWORD* allocPixels(TVN_DWORD width, TVN_DWORD height) {
    std::size_t bytes = 0;
    if (!checkedSize(width, height, 4, &bytes)) return nullptr;
    return static_cast<TVN_DWORD*>(heapAlloc(bytes));
}

DecodedHolder::~DecodedHolder() {
    if (!m_p) return;
    heapFree(m_p->plane.pWords);
    *m_p = DECODED_PICTURE();
}

void DecodedHolder::reset(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height) {
    if (m_p->plane.pWords != words) heapFree(m_p->plane.pWords);
    m_p->plane = {words, width, height};
}

namespace {
template <class T> void mirror(T* data, std::size_t width, std::size_t height) {
    if (!data) return;
    for (std::size_t y = 0; y < height; ++y) std::reverse(data + y * width, data + (y + 1) * width);
}

// Swapping in place needs no row buffer.
template <class T> void exchange(T* data, std::size_t width, std::size_t height) {
    if (!data) return;
    for (std::size_t y = 0; y < height / 2; ++y) {
        T* low = data + y * width;
        T* high = data + (height - 1 - y) * width;
        std::swap_ranges(low, low + width, high);
    }
}
} // namespace

void mirrorRows(TVN_DWORD* data, std::size_t width, std::size_t height) { mirror(data, width, height); }
void mirrorRows(unsigned char* data, std::size_t width, std::size_t height) { mirror(data, width, height); }
void exchangeRows(TVN_DWORD* data, std::size_t width, std::size_t height) { exchange(data, width, height); }
void exchangeRows(unsigned char* data, std::size_t width, std::size_t height) { exchange(data, width, height); }

} // namespace tvn::pixel
