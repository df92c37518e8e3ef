// The vector primitives of the scaler and the blur, one set per instruction set,
// chosen by the processor's features. All work on 64-byte units: 16 pixels.
#ifndef TIVORN_RESAMPLE_SIMD_H
#define TIVORN_RESAMPLE_SIMD_H

#include <cstddef>
#include <cstdint>

#include "resample/plan.h"
#include "pixel/cpu_features.h"

namespace tvn::resample {
namespace simd {

// Output sample i (0 .. count-1) of span first + i: for every unit u, the 64 bytes
// at out + i * outStride + unitOffsets[u] from the taps at base + tap offset +
// unitOffsets[u].
struct CombineJob {
    const unsigned char* base;
    std::size_t stride; // bytes between source samples (for the exact spans)
    const ScalePlan* plan;
    TVN_DWORD first;
    TVN_DWORD count;
    unsigned char* out;
    std::size_t outStride;
    const std::size_t* unitOffsets;
    unsigned units;
};

// Running box sums over a line of steps, each `units` consecutive 64-byte units
// wide: out[i] = (in[i-d+1] + .. + in[i]) / d per byte, inputs past nIn counting
// as 0. The quotient is (sum * mult) >> (16 + shift), exact for every sum up to
// 255 * d. out may overlap in when out[i] lies at or before in[i]: each input is
// read before the output of its step, and `ring` (d * units * 64 bytes) keeps
// the inputs still to be subtracted.
struct BoxJob {
    const unsigned char* in;
    std::size_t inStride;
    TVN_DWORD nIn;
    unsigned char* out;
    std::size_t outStride;
    TVN_DWORD nOut;
    unsigned d; // 2 .. kMaxBoxWidth
    std::uint32_t mult;
    unsigned shift;
    unsigned units; // 1 .. kMaxBoxUnits
    unsigned char* ring;
};
const unsigned kMaxBoxWidth = 255;
const unsigned kMaxBoxUnits = 4;

struct Ops {
    const char* name;
    // 16 x 16 words: dst[c * dstStride + r] = src[r * srcStride + c].
    void (*transpose16)(const TVN_DWORD* src, std::size_t srcStride, TVN_DWORD* dst, std::size_t dstStride);
    void (*combine)(const CombineJob& job);
    void (*boxRun)(const BoxJob& job);
    // True when trunc(c * v) == (c * m) >> 16 for every c in 0..255 (m <= 65536).
    bool (*fits)(double v, std::uint32_t m);
};

#ifdef TVN_X86
const Ops* opsSse2();
const Ops* opsAvx2();
const Ops* opsAvx512();
#endif

// The primitives of a level (null at Reference: the scalar passes run), and
// of the level the hot loops run at.
const Ops* opsFor(pixel::cpu::Level level);
const Ops* select();

} // namespace simd
} // namespace tvn::resample

#endif
