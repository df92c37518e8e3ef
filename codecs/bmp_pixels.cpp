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

std::size_t bgrxAvx2(const unsigned char* s, TVN_DWORD* d, std::size_t n) { return simd::shuffle4Avx2(s, d, n, false); }
std::size_t bgrxSsse3(const unsigned char* s, TVN_DWORD* d, std::size_t n) { return simd::shuffle4Ssse3(s, d, n, false); }
std::size_t bgraAvx2(const unsigned char* s, TVN_DWORD* d, std::size_t n) { return simd::shuffle4Avx2(s, d, n, true); }
std::size_t bgraSsse3(const unsigned char* s, TVN_DWORD* d, std::size_t n) { return simd::shuffle4Ssse3(s, d, n, true); }

// A vector path for the bulk, the reference for the last few pixels.
template <std::size_t (*Fast)(const unsigned char*, TVN_DWORD*, std::size_t), RowConverter Reference,
          unsigned Bytes>
void withTail(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    const std::size_t done = Fast(src, dst, count);
    Reference(src + done * Bytes, dst + done, count - done);
}

} // namespace

RowConverter bgrConverter() {
    if (useAvx2()) return withTail<simd::bgrToWordsAvx2, reference::bgrToWords, 3>;
    if (useSsse3()) return withTail<simd::bgrToWordsSsse3, reference::bgrToWords, 3>;
    return reference::bgrToWords;
}

RowConverter bgrxConverter() {
    if (useAvx2()) return withTail<bgrxAvx2, reference::bgrxToWords, 4>;
    if (useSsse3()) return withTail<bgrxSsse3, reference::bgrxToWords, 4>;
    return reference::bgrxToWords;
}

RowConverter bgraConverter() {
    if (useAvx2()) return withTail<bgraAvx2, reference::bgraToWords, 4>;
    if (useSsse3()) return withTail<bgraSsse3, reference::bgraToWords, 4>;
    return reference::bgraToWords;
}

void bgrToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    bgrConverter()(src, dst, count);
}

void bgrxToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    bgrxConverter()(src, dst, count);
}

void bgraToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    bgraConverter()(src, dst, count);
}

} // namespace px
} // namespace tvn
