// The cost of the C interface's layer: a 2x2 picture resized to 1x1 through
// CRGBAImage::setSize and through tvn_image_set_size (handle check, exception
// guard, message count). The difference per call is the layer's overhead.
#include <benchmark/benchmark.h>

#include "tivorn.h"

namespace {

const TVN_DWORD kPixels[4] = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu};

void BM_SetSize1x1_Class(benchmark::State& state) {
    CRGBAImage image(kPixels, 2, 2);
    for (auto _ : state) benchmark::DoNotOptimize(image.setSize(1, 1, CRGBAImage::BilinearFilter, nullptr, nullptr));
}

void BM_SetSize1x1_C(benchmark::State& state) {
    tvn_image* image = nullptr;
    if (tvn_image_create_pixels(kPixels, 2, 2, &image) != TVN_OK) return state.SkipWithError("no picture");
    for (auto _ : state)
        benchmark::DoNotOptimize(tvn_image_set_size(image, 1, 1, TVN_FILTER_BILINEAR, nullptr, nullptr));
    tvn_image_destroy(image);
}

BENCHMARK(BM_SetSize1x1_Class);
BENCHMARK(BM_SetSize1x1_C);

} // namespace
