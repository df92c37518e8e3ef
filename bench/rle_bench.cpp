// Run-length decode of a photo-like 1920x1080 picture.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench_util.h"
#include "tivorn.h"

namespace {

// A packed stream of mixed runs and literals, as compressRLE makes for photos.
std::vector<unsigned char> photoLikeStream(TVN_DWORD width, TVN_DWORD height) {
    std::mt19937 rng(7);
    std::vector<unsigned char> out;
    for (TVN_DWORD y = 0; y < height; ++y) {
        TVN_DWORD x = 0;
        while (x < width) {
            TVN_DWORD n = std::min<TVN_DWORD>(1 + rng() % 128, width - x);
            bool run = rng() % 3 == 0;
            out.push_back(static_cast<unsigned char>((run ? 0x80 : 0) | (n - 1)));
            for (TVN_DWORD i = 0; i < (run ? 1 : n); ++i) {
                TVN_DWORD p = rng();
                out.push_back(0xFF);
                out.push_back(static_cast<unsigned char>(p));
                out.push_back(static_cast<unsigned char>(p >> 8));
                out.push_back(static_cast<unsigned char>(p >> 16));
            }
            x += n;
        }
    }
    return out;
}

void BM_RunLengthDecode(benchmark::State& state) {
    const TVN_DWORD w = 1920, h = 1080;
    std::vector<unsigned char> packed = photoLikeStream(w, h);
    for (auto _ : state) {
        CRGBAImage image(packed.data(), static_cast<TVN_DWORD>(packed.size()), w, h);
        benchmark::DoNotOptimize(image.getBuffer());
    }
    reportMegapixels(state, double(w) * h);
}
BENCHMARK(BM_RunLengthDecode)->Unit(benchmark::kMillisecond);

} // namespace

