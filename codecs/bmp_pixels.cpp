// Reference row converters and the choice of a vector path.
#include "bmp_pixels.h"
#include "../pixel/cpu_features.h"

namespace tvn {
namespace px {

namespace reference {

void bgrToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, src += 3)
        dst[i] = 0xFF000000u | (static_cast<TVN_DWORD>(src[0]) << 16) | (static_cast<TVN_DWORD>(src[1]) << 8) | src[2];
}

void bgrxToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, src += 4)
        dst[i] = 0xFF000000u | (static_cast<TVN_DWORD>(src[0]) << 16) | (static_cast<TVN_DWORD>(src[1]) << 8) | src[2];
}

void bgraToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, src += 4)
        dst[i] = (static_cast<TVN_DWORD>(src[3]) << 24) | (static_cast<TVN_DWORD>(src[0]) << 16) |
                 (static_cast<TVN_DWORD>(src[1]) << 8) | src[2];
}

} // namespace reference

namespace {
// SSE4.1 implies SSSE3, the level of the byte shuffle these paths need.
bool useAvx2() { return simd::available() && cpu::hasAvx2(); }
bool useSsse3() { return simd::available() && cpu::hasSse41(); }
} // namespace

void bgrToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    std::size_t done = 0;
    if (useAvx2()) done = simd::bgrToWordsAvx2(src, dst, count);
    else if (useSsse3()) done = simd::bgrToWordsSsse3(src, dst, count);
    reference::bgrToWords(src + done * 3, dst + done, count - done);
}

void bgrxToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    std::size_t done = 0;
    if (useAvx2()) done = simd::shuffle4Avx2(src, dst, count, false);
    else if (useSsse3()) done = simd::shuffle4Ssse3(src, dst, count, false);
    reference::bgrxToWords(src + done * 4, dst + done, count - done);
}

void bgraToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    std::size_t done = 0;
    if (useAvx2()) done = simd::shuffle4Avx2(src, dst, count, true);
    else if (useSsse3()) done = simd::shuffle4Ssse3(src, dst, count, true);
    reference::bgraToWords(src + done * 4, dst + done, count - done);
}

} // namespace px
} // namespace tvn
