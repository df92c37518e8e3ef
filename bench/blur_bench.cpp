// The box blur of a 2000x2000 photo-like picture with k = 1, 5 and 20, by
// tvn2PassBlur into a buffer the caller keeps; ".../reference" is the scalar
// reference. Output megapixels per second (the output is 2k larger each way).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/testing/test_environment.h"
#include "bench_util.h"
#include "pixel/cpu_features.h"
#include "tivorn.h"

namespace {

void blurCase(benchmark::State& state, unsigned k, bool reference) {
    const TVN_DWORD w = 2000, h = 2000;
    static std::vector<TVN_DWORD> px = photoLike(w, h, 5);
    std::vector<TVN_DWORD> out(static_cast<std::size_t>(w + 2 * k) * (h + 2 * k));
    tvn::plat::testing::setProcessorLevel((reference) ? 0 : 4);
    for (auto _ : state) {
        unsigned kernel = k;
        tvn2PassBlur(px.data(), out.data(), w, h, &kernel);
        benchmark::DoNotOptimize(out.data());
    }
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    reportMegapixels(state, double(w + 2 * k) * (h + 2 * k));
}

const bool kRegistered = [] {
    for (unsigned k : {1u, 5u, 20u})
        for (bool ref : {false, true})
            benchmark::RegisterBenchmark(("blur/2000x2000/k=" + std::to_string(k) + (ref ? "/reference" : "")).c_str(),
                                         [k, ref](benchmark::State& s) { blurCase(s, k, ref); })
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
    return true;
}();

} // namespace
