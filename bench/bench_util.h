// Helpers shared by the benchmark files.
#ifndef TIVORN_BENCH_UTIL_H
#define TIVORN_BENCH_UTIL_H

#include <benchmark/benchmark.h>

#include <cstddef>
#include <random>
#include <vector>

#include "tivorn.h"

// Reports output megapixels per second for `pixels` produced per iteration.
inline void reportMegapixels(benchmark::State& state, double pixels) {
    state.counters["MPix/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// Smooth gradients, soft noise and hard-edged shapes: a photograph's mix.
inline std::vector<TVN_DWORD> photoLike(TVN_DWORD w, TVN_DWORD h, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<TVN_DWORD> px(static_cast<std::size_t>(w) * h);
    for (TVN_DWORD y = 0; y < h; ++y)
        for (TVN_DWORD x = 0; x < w; ++x) {
            const unsigned n = rng() % 9;
            px[static_cast<std::size_t>(y) * w + x] =
                tvnRGBA((x * 255 / w + n) & 0xFF, (y * 255 / h + n) & 0xFF, ((x / 37 + y / 53) % 3) * 90 + n, 255);
        }
    return px;
}

#endif
