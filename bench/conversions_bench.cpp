// Colour conversions and exports of a 4000x3000 picture, next to a plain memcpy
// of the same 48 MB; the Reference cases run the scalar loops for comparison.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/testing/test_environment.h"
#include "bench_util.h"
#include "pixel/cpu_features.h"
#include "tivorn.h"

namespace {

const TVN_DWORD kWidth = 4000, kHeight = 3000;
const std::size_t kPixels = std::size_t(kWidth) * kHeight;

CRGBAImage& picture() {
    static CRGBAImage* image = [] {
        std::mt19937 rng(5);
        std::vector<TVN_DWORD> px(kPixels);
        for (auto& p : px) p = static_cast<TVN_DWORD>(rng());
        return new CRGBAImage(px.data(), kWidth, kHeight);
    }();
    return *image;
}

void BM_Memcpy48MB(benchmark::State& state) {
    std::vector<unsigned char> dst(kPixels * 4);
    const TVN_DWORD* src = picture().getBuffer();
    for (auto _ : state) {
        std::memcpy(dst.data(), src, dst.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    reportMegapixels(state, double(kPixels));
}
BENCHMARK(BM_Memcpy48MB)->Unit(benchmark::kMillisecond);

template <int (CRGBAImage::*Convert)()> void convert(benchmark::State& state) {
    tvn::plat::testing::setProcessorLevel((state.range(0) != 0) ? 0 : 4);
    CRGBAImage& image = picture();
    for (auto _ : state) {
        benchmark::DoNotOptimize((image.*Convert)());
        benchmark::ClobberMemory();
    }
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    reportMegapixels(state, double(kPixels));
}

void BM_ConvertToGrayscale(benchmark::State& state) {
    convert<&CRGBAImage::convertToGrayscale>(state);
}
void BM_ConvertToBGRA(benchmark::State& state) {
    convert<&CRGBAImage::convertToBGRA>(state);
}
// Argument 0: the fastest path of this processor; 1: the scalar reference.
BENCHMARK(BM_ConvertToGrayscale)->ArgName("reference")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToBGRA)->ArgName("reference")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

template <int (CRGBAImage::*Fill)(unsigned char*), int Bytes> void fill(benchmark::State& state) {
    tvn::plat::testing::setProcessorLevel((state.range(0) != 0) ? 0 : 4);
    std::vector<unsigned char> dst(kPixels * Bytes);
    CRGBAImage& image = picture();
    for (auto _ : state) {
        benchmark::DoNotOptimize((image.*Fill)(dst.data()));
        benchmark::ClobberMemory();
    }
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    reportMegapixels(state, double(kPixels));
}

void BM_FillBuffer24bit(benchmark::State& state) {
    fill<&CRGBAImage::fillBuffer24bit, 3>(state);
}
void BM_FillBuffer32bit(benchmark::State& state) {
    fill<&CRGBAImage::fillBuffer32bit, 4>(state);
}
BENCHMARK(BM_FillBuffer24bit)->ArgName("reference")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillBuffer32bit)->ArgName("reference")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
