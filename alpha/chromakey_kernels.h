// The chromakey loop: the reference through tvnGetColorDist, and vector paths.
//
// The vector paths take the distance as the truncated single-precision root of
// the integer squared distance. For every squared distance a colour pair can
// have (0 .. 3 x 255^2 = 195075) that equals the truncated double root: the
// root of k^2 - 1 lies about 1/(2k) below k, far more than a float step there.
// The tests check all 195076 values.
#ifndef TIVORN_CHROMAKEY_KERNELS_H
#define TIVORN_CHROMAKEY_KERNELS_H

#include <cstddef>
#include <cstdint>

#include "pixel/cpu_features.h"
#include "tivorn/types.h"

namespace tvn {
namespace alpha {

struct ChromakeySettings {
    TVN_DWORD key;       // only red, green and blue count
    int soft;            // non-zero: alpha ramps up to the deviation
    TVN_DWORD deviation; // D, a colour distance, used as stored
};

// Largest squared distance of two colours.
const TVN_DWORD kMaxSquaredDistance = 3 * 255 * 255;

// Alpha of a pixel at colour distance dist (the vector paths' scalar tails).
inline TVN_DWORD chromakeyAlpha(TVN_DWORD dist, const ChromakeySettings& s) {
    if (dist > s.deviation) return 255;
    if (!s.soft || s.deviation == 0) return 0;
    std::uint32_t q = 0xFF000000u / static_cast<std::uint32_t>(s.deviation);
    std::uint32_t m = q * static_cast<std::uint32_t>(dist);
    return m >> 24;
}

void chromakeyReference(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s);

#ifdef TVN_X86
// The root the vector paths use, for the proof over all squared distances.
TVN_DWORD chromakeyRootSse2(TVN_DWORD squared);
TVN_DWORD chromakeyRootAvx2(TVN_DWORD squared);

void chromakeySse2(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s);
void chromakeyAvx2(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s);
#endif

struct ChromakeyKernels {
    void (*run)(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s);
    // The truncated root of a squared distance, as run takes it.
    TVN_DWORD (*root)(TVN_DWORD squared);
};
const ChromakeyKernels& chromakeyKernels(pixel::cpu::Level level);

// What the mode calls: the fastest path this processor runs, else the reference.
void applyChromakey(TVN_DWORD* words, std::size_t count, const ChromakeySettings& s);

} // namespace alpha
} // namespace tvn

#endif
