// Helpers shared by the benchmark files.
#ifndef TIVORN_BENCH_UTIL_H
#define TIVORN_BENCH_UTIL_H

#include <benchmark/benchmark.h>

// Reports output megapixels per second for `pixels` produced per iteration.
inline void reportMegapixels(benchmark::State& state, double pixels) {
    state.counters["MPix/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

#endif
