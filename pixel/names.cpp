#include "pixel/names.h"

#include <cstring>

namespace tvn::pixel {

void copyName(char* dst, const char* src) {
    if (!dst || dst == src) return;
    std::size_t n = src ? std::strlen(src) : 0;
    if (n > TVN_MAX_PATH - 1) n = TVN_MAX_PATH - 1;
    if (n) std::memmove(dst, src, n);
    dst[n] = 0;
}

} // namespace tvn::pixel
