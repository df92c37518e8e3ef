// Scalar references of the conversion and packing loops, and the choice of set.
#include "pixel_loops.h"

#include "tivorn/pixel.h"
#include "../pixel/cpu_features.h"

namespace tvn {
namespace loops {

namespace {

void greyRef(TVN_DWORD* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const TVN_DWORD v = p[i];
        const TVN_DWORD y = (9798u * tvnGetRValue(v) + 19235u * tvnGetGValue(v) + 3736u * tvnGetBValue(v)) >> 15;
        p[i] = (v & 0xFF000000u) + y * 65793u;
    }
}

void swapRBRef(TVN_DWORD* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const TVN_DWORD v = p[i];
        p[i] = (v & 0xFF00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
    }
}

void bgra32Ref(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, dst += 4) {
        const TVN_DWORD v = src[i];
        dst[0] = tvnGetBValue(v);
        dst[1] = tvnGetGValue(v);
        dst[2] = tvnGetRValue(v);
        dst[3] = tvnGetAValue(v);
    }
}

void bgr24Ref(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, dst += 3) {
        const TVN_DWORD v = src[i];
        dst[0] = tvnGetBValue(v);
        dst[1] = tvnGetGValue(v);
        dst[2] = tvnGetRValue(v);
    }
}

void bigEndianRef(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, dst += 4) {
        const TVN_DWORD v = src[i];
        dst[0] = tvnGetAValue(v);
        dst[1] = tvnGetBValue(v);
        dst[2] = tvnGetGValue(v);
        dst[3] = tvnGetRValue(v);
    }
}

std::size_t findPairRef(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    for (std::size_t x = from; x + 1 < n; ++x)
        if (p[x] == p[x + 1]) return x;
    return n;
}

std::size_t runEndRef(const TVN_DWORD* p, std::size_t from, std::size_t n) {
    std::size_t x = from + 1;
    while (x < n && p[x] == p[from]) ++x;
    return x;
}

const Kernels kReference = {greyRef, swapRBRef, bgra32Ref, bgr24Ref, bigEndianRef, findPairRef, runEndRef};

} // namespace

const Kernels& reference() {
    return kReference;
}

const Kernels& active() {
    if (cpu::hasAvx2())
        if (const Kernels* k = detail::avx2Kernels()) return *k;
    if (cpu::hasSse2())
        if (const Kernels* k = detail::sse2Kernels()) return *k;
    return kReference;
}

} // namespace loops
} // namespace tvn
