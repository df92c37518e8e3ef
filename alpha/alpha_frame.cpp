#include "alpha/alpha_frame.h"

namespace tvn {
namespace alpha {

void copyAlphaOut(const TVN_DWORD* src, std::size_t available, unsigned char* saved, std::size_t count) {
    for (std::size_t i = 0; i < available; ++i) saved[i] = static_cast<unsigned char>(src[i] >> 24);
    for (std::size_t i = available; i < count; ++i) saved[i] = 0xFF;
}

void copyAlphaIn(TVN_DWORD* target, const unsigned char* saved, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) target[i] = withAlpha(target[i], saved[i]);
}

void applyMask(const AlphaTarget& target, const TVN_DWORD* grey) {
    const std::size_t count = static_cast<std::size_t>(target.width) * target.height;
    for (std::size_t i = 0; i < count; ++i) target.words[i] = withAlpha(target.words[i], grey[i] & 0xFFu);
}

} // namespace alpha
} // namespace tvn
