#include "pixel/bands.h"

#include "platform/environment.h"

namespace tvn::pixel {

LineBands::LineBands(TVN_DWORD count, TVN_DWORD grain, TVN_DWORD minimum)
    : m_count(count), m_grain(grain ? grain : 1), m_pieces(0) {
    const TVN_DWORD whole = m_count / m_grain, rest = m_count % m_grain;
    m_pieces = whole + (rest != 0);
    if (rest != 0 && rest < minimum && whole > 0) --m_pieces;
}

namespace {
// What an item of each kind costs one thread, in nanoseconds, on the vector
// paths (the reference is slower, so its work is underestimated: it stays on
// one thread longer than it need). Measured on 2048 x 2048 pictures, one
// thread of a 2-core AMD EPYC virtual machine (bench/bands_bench.cpp).
const double kNanoseconds[] = {
    0.25, // Resample: 1826 us for 2048 -> 512 bicubic, 6.5 M samples x taps
    0.55, // Blur: 4644 us for k = 5, 8.4 M pixels over both passes
    0.24, // Nearest
    0.10, // AlphaCopy: memory-bound
    0.13, // Gradient
    0.52, // Ellipse
    0.21, // Chromakey
};

} // namespace

// The threshold is the system's (the environment's helperThreshold: what a
// helper's wake-up costs; bench/bands_bench.cpp measures it on setSize 2048 ->
// 512 and below, blur k = 5 and the transparency modes, on pictures of 128 to
// 2048 pixels square).
unsigned helpersFor(BandCost kind, double amount) {
    const double threshold = plat::env().helperThreshold();
    if (threshold <= 0) return WorkerPool::kMaxCount;
    const double microseconds = amount * kNanoseconds[static_cast<int>(kind)] / 1000.0;
    if (microseconds < threshold) return 0;
    const double helpers = microseconds / threshold;
    return helpers >= WorkerPool::kMaxCount ? WorkerPool::kMaxCount : static_cast<unsigned>(helpers);
}

} // namespace tvn::pixel
