// Chromakey pixel by pixel, literally as defined; the vector paths are proven
// against it.
#include <cstdint>

#include "alpha/chromakey_kernels.h"
#include "tivorn/pixel.h"

namespace tvn {
namespace alpha {

void chromakeyReference(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s) {
    for (std::size_t i = 0; i < count; ++i) {
        TVN_DWORD c = words[i] & 0x00FFFFFFu;
        TVN_DWORD dist = tvnGetColorDist(c, s.key);
        std::uint32_t alpha;
        if (dist > s.deviation) {
            alpha = 255;
        } else if (!s.soft || s.deviation == 0) {
            alpha = 0;
        } else {
            std::uint32_t q = 0xFF000000u / static_cast<std::uint32_t>(s.deviation);
            std::uint32_t m = q * static_cast<std::uint32_t>(dist);
            alpha = m >> 24;
        }
        words[i] = c + alpha * 0x01000000u;
    }
}

} // namespace alpha
} // namespace tvn
