#include "alpha/alpha_frame.h"

#include "pixel/bands.h"

namespace tvn {
namespace alpha {

namespace {
const std::size_t kWordsPerPiece = 1 << 16;

template <class Body>
void inBands(std::size_t count, Body body) {
    pixel::forEachSpan(count, kWordsPerPiece, pixel::BandCost::AlphaCopy, body);
}
} // namespace

void copyAlphaOut(const TVN_DWORD* src, std::size_t available, unsigned char* saved, std::size_t count) {
    inBands(available, [&](std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i) saved[i] = static_cast<unsigned char>(src[i] >> 24);
    });
    for (std::size_t i = available; i < count; ++i) saved[i] = 0xFF;
}

void copyAlphaIn(TVN_DWORD* target, const unsigned char* saved, std::size_t count) {
    inBands(count, [&](std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i) target[i] = withAlpha(target[i], saved[i]);
    });
}

void applyMask(const AlphaTarget& target, const TVN_DWORD* grey) {
    inBands(static_cast<std::size_t>(target.width) * target.height, [&](std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i) target.words[i] = withAlpha(target.words[i], grey[i] & 0xFFu);
    });
}

} // namespace alpha
} // namespace tvn
