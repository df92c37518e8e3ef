// Reference row kernels and the table of each level.
#include "pixel/rows.h"

#include "tivorn/pixel.h"

namespace tvn::pixel {
namespace rows {

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

void wordsToBgra(const TVN_DWORD* src, unsigned char* dst, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, dst += 4) {
        const TVN_DWORD v = src[i];
        dst[0] = tvnGetBValue(v);
        dst[1] = tvnGetGValue(v);
        dst[2] = tvnGetRValue(v);
        dst[3] = tvnGetAValue(v);
    }
}

void wordsToBgr(const TVN_DWORD* src, unsigned char* dst, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, dst += 3) {
        const TVN_DWORD v = src[i];
        dst[0] = tvnGetBValue(v);
        dst[1] = tvnGetGValue(v);
        dst[2] = tvnGetRValue(v);
    }
}

void wordsToBigEndian(const TVN_DWORD* src, unsigned char* dst, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, dst += 4) {
        const TVN_DWORD v = src[i];
        dst[0] = tvnGetAValue(v);
        dst[1] = tvnGetBValue(v);
        dst[2] = tvnGetGValue(v);
        dst[3] = tvnGetRValue(v);
    }
}

void bigEndianToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, src += 4)
        dst[i] = tvnRGBA(src[3], src[2], src[1], src[0]);
}

void swapRB(TVN_DWORD* words, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const TVN_DWORD v = words[i];
        words[i] = (v & 0xFF00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
    }
}

void grey(TVN_DWORD* words, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const TVN_DWORD v = words[i];
        const TVN_DWORD y = (9798u * tvnGetRValue(v) + 19235u * tvnGetGValue(v) + 3736u * tvnGetBValue(v)) >> 15;
        words[i] = (v & 0xFF000000u) + y * 65793u;
    }
}

} // namespace reference

namespace {

RowKernels tableFor(cpu::Level level) {
    RowKernels k = {reference::bgrToWords, reference::bgrxToWords,      reference::bgraToWords, reference::wordsToBgra,
                    reference::wordsToBgr, reference::wordsToBigEndian, reference::bigEndianToWords,
                    reference::swapRB,     reference::grey};
#ifdef TVN_X86
    if (level >= cpu::Level::Sse2) addSse2(k);
    if (level >= cpu::Level::Ssse3) addSsse3(k);
    if (level >= cpu::Level::Avx2) addAvx2(k);
#else
    (void)level;
#endif
    return k;
}

} // namespace

const RowKernels& rowKernels(cpu::Level level) {
    return cpu::tableAt<RowKernels, tableFor>(level);
}

const RowKernels& rowKernels() {
    return rowKernels(cpu::level());
}

} // namespace rows
} // namespace tvn::pixel
