// Transparency modes on a 4000x3000 picture: the per-pixel formulas (reference
// rows, scalar paths forced) against the fast paths, on a picture that was
// never resized (alpha written in place) and on a resized one (alpha written
// into the untouched copy, then the bilinear rebuild of the current picture).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/testing/test_environment.h"
#include "bench_util.h"
#include "pixel/cpu_features.h"
#include "tivorn.h"

namespace {

const TVN_DWORD kWidth = 4000, kHeight = 3000;

std::vector<TVN_DWORD> photoLike() {
    std::mt19937 rng(11);
    std::vector<TVN_DWORD> px(static_cast<std::size_t>(kWidth) * kHeight);
    for (TVN_DWORD y = 0; y < kHeight; ++y)
        for (TVN_DWORD x = 0; x < kWidth; ++x) {
            unsigned noise = rng() & 7;
            px[static_cast<std::size_t>(y) * kWidth + x] =
                tvnRGBA(static_cast<unsigned char>(x * 255 / kWidth + noise), static_cast<unsigned char>(y * 255 / kHeight),
                        static_cast<unsigned char>((x / 64 + y / 64) % 2 ? 200 : 40), 255);
        }
    return px;
}

IMG_TRANSP settingsFor(unsigned char mode) {
    IMG_TRANSP t = {};
    t.byMode = mode;
    t.byConstTransp = 40;
    t.byLGTop = 100;
    t.byLGLeft = 20;
    t.byLGRight = 60;
    t.byEllCenter = 0;
    t.byEllBorder = 100;
    t.clrChromakey = tvnRGBA(128, 128, 200, 0);
    t.bChromakeySoft = 1;
    t.dwChromakeyDev = 120;
    return t;
}

void BM_Transparency(benchmark::State& state, unsigned char mode, bool resized, bool reference) {
    static const std::vector<TVN_DWORD> px = photoLike();
    CRGBAImage image(px.data(), kWidth, kHeight);
    if (resized && !image.setSize(kWidth * 3 / 4, kHeight * 3 / 4, CRGBAImage::BicubicFilter, nullptr, nullptr)) {
        state.SkipWithError("resizing is not available in this build");
        return;
    }
    IMG_TRANSP t = settingsFor(mode);
    tvn::plat::testing::setProcessorLevel((reference) ? 0 : 4);
    image.setTransparency(t, nullptr); // the first mode allocates the saved alpha
    for (auto _ : state) {
        image.setTransparency(t, nullptr);
        benchmark::DoNotOptimize(image.getBuffer());
    }
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    reportMegapixels(state, double(kWidth) * kHeight);
}

#define TVN_ALPHA_BENCH(name, mode)                                                                       \
    BENCHMARK_CAPTURE(BM_Transparency, name##_unresized_reference, mode, false, true)->Unit(benchmark::kMillisecond); \
    BENCHMARK_CAPTURE(BM_Transparency, name##_unresized_fast, mode, false, false)->Unit(benchmark::kMillisecond);     \
    BENCHMARK_CAPTURE(BM_Transparency, name##_resized_reference, mode, true, true)->Unit(benchmark::kMillisecond);    \
    BENCHMARK_CAPTURE(BM_Transparency, name##_resized_fast, mode, true, false)->Unit(benchmark::kMillisecond)

TVN_ALPHA_BENCH(constant, TRANSP_CONST);
TVN_ALPHA_BENCH(gradient, TRANSP_LG);
TVN_ALPHA_BENCH(ellipse, TRANSP_ELL);
TVN_ALPHA_BENCH(chromakey, TRANSP_CHROMAKEY);

} // namespace
