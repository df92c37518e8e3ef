// setSize with each filter, setSizeRough, and the peers at the same filter width:
// stb_image_resize (box, triangle) and libvips vips_reduce on one thread.
// Every case reports output megapixels per second; ".../reference" runs the
// scalar reference of the same operation.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/testing/test_environment.h"
#include "bench_util.h"
#include "pixel/cpu_features.h"
#include "tivorn.h"

#ifdef TIVORN_HAVE_STB
#include <stb_image_resize.h>
#endif
#ifdef TIVORN_HAVE_VIPS
#include <vips/vips.h>
#endif

namespace {

struct Case {
    TVN_DWORD w, h, nw, nh;
};
const Case kCases[] = {{3000, 2000, 750, 500}, {3000, 2000, 6000, 4000}, {1920, 1080, 1280, 720}};
const char* const kFilters[] = {"", "Box", "Bilinear", "Bicubic", "Gaussian", "Hamming", "Blackman"};

std::string caseName(const Case& c) {
    return std::to_string(c.w) + "x" + std::to_string(c.h) + "->" + std::to_string(c.nw) + "x" + std::to_string(c.nh);
}

const std::vector<TVN_DWORD>& source(TVN_DWORD w, TVN_DWORD) {
    static std::vector<TVN_DWORD> big = photoLike(3000, 2000, 11), hd = photoLike(1920, 1080, 11);
    return w == 3000 ? big : hd;
}

void setSizeCase(benchmark::State& state, Case c, int filter, bool reference) {
    tvn::plat::testing::setProcessorLevel((reference) ? 0 : 4);
    CRGBAImage image(source(c.w, c.h).data(), c.w, c.h);
    image.setSize(c.w, c.h, filter, nullptr, nullptr); // the untouched copy exists from here on
    // One untimed resize: the process's first use of blocks this big is not counted.
    image.setSize(c.nw, c.nh, filter, nullptr, nullptr);
    for (auto _ : state) {
        if (!image.setSize(c.nw, c.nh, filter, nullptr, nullptr)) state.SkipWithError("setSize failed");
        benchmark::DoNotOptimize(image.getBuffer());
    }
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    reportMegapixels(state, double(c.nw) * c.nh);
}

void setSizeRoughCase(benchmark::State& state, Case c, bool reference) {
    tvn::plat::testing::setProcessorLevel((reference) ? 0 : 4);
    CRGBAImage image(source(c.w, c.h).data(), c.w, c.h);
    image.setSizeRough(c.w, c.h);
    for (auto _ : state) {
        image.setSizeRough(c.nw, c.nh);
        benchmark::DoNotOptimize(image.getBuffer());
    }
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    reportMegapixels(state, double(c.nw) * c.nh);
}

#ifdef TIVORN_HAVE_STB
void stbCase(benchmark::State& state, Case c, stbir_filter filter) {
    const std::vector<TVN_DWORD>& px = source(c.w, c.h);
    std::free(std::malloc(std::size_t(c.nw) * c.nh * 4));
    for (auto _ : state) {
        // The output is a fresh block every time, as setSize's is.
        unsigned char* out = static_cast<unsigned char*>(std::malloc(std::size_t(c.nw) * c.nh * 4));
        stbir_resize_uint8_generic(reinterpret_cast<const unsigned char*>(px.data()), int(c.w), int(c.h), 0, out,
                                   int(c.nw), int(c.nh), 0, 4, STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, filter,
                                   STBIR_COLORSPACE_LINEAR, nullptr);
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    reportMegapixels(state, double(c.nw) * c.nh);
}
#endif

#ifdef TIVORN_HAVE_VIPS
void vipsCase(benchmark::State& state, Case c, VipsKernel kernel) {
    static bool started = [] {
        if (VIPS_INIT("tivorn_bench")) return false;
        vips_cache_set_max(0); // every iteration computes afresh
        return true;
    }();
    if (!started) {
        state.SkipWithError("vips_init failed");
        return;
    }
    vips_concurrency_set(1); // each time: the pool's cases run vips at its default

    const std::vector<TVN_DWORD>& px = source(c.w, c.h);
    VipsImage* in = vips_image_new_from_memory(px.data(), px.size() * 4, int(c.w), int(c.h), 4, VIPS_FORMAT_UCHAR);
    for (auto _ : state) {
        VipsImage* out = nullptr;
        if (vips_reduce(in, &out, double(c.w) / c.nw, double(c.h) / c.nh, "kernel", kernel, nullptr)) {
            state.SkipWithError("vips_reduce failed");
            break;
        }
        std::size_t size = 0;
        void* mem = vips_image_write_to_memory(out, &size);
        benchmark::DoNotOptimize(mem);
        g_free(mem);
        g_object_unref(out);
    }
    g_object_unref(in);
    reportMegapixels(state, double(c.nw) * c.nh);
}
#endif

const bool kRegistered = [] {
    for (const Case& c : kCases) {
        const std::string name = caseName(c);
        for (int f = 1; f <= 6; ++f)
            for (bool ref : {false, true})
                benchmark::RegisterBenchmark(
                    ("setSize/" + name + "/" + kFilters[f] + (ref ? "/reference" : "")).c_str(),
                    [c, f, ref](benchmark::State& s) { setSizeCase(s, c, f, ref); })
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(0.3)
                    ->MeasureProcessCPUTime();
        for (bool ref : {false, true})
            benchmark::RegisterBenchmark(("setSizeRough/" + name + (ref ? "/reference" : "")).c_str(),
                                         [c, ref](benchmark::State& s) { setSizeRoughCase(s, c, ref); })
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
#ifdef TIVORN_HAVE_STB
        benchmark::RegisterBenchmark(("stb_image_resize/" + name + "/box").c_str(),
                                     [c](benchmark::State& s) { stbCase(s, c, STBIR_FILTER_BOX); })
            ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
        benchmark::RegisterBenchmark(("stb_image_resize/" + name + "/triangle").c_str(),
                                     [c](benchmark::State& s) { stbCase(s, c, STBIR_FILTER_TRIANGLE); })
            ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
#endif
#ifdef TIVORN_HAVE_VIPS
        if (c.nw <= c.w && c.nh <= c.h) // vips_reduce only shrinks
            for (auto k : {std::make_pair("linear", VIPS_KERNEL_LINEAR), std::make_pair("cubic", VIPS_KERNEL_CUBIC),
                           std::make_pair("lanczos3", VIPS_KERNEL_LANCZOS3)}) {
                VipsKernel kernel = k.second;
                benchmark::RegisterBenchmark(("vips_reduce/" + name + "/" + k.first).c_str(),
                                             [c, kernel](benchmark::State& s) { vipsCase(s, c, kernel); })
                    ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
            }
#endif
    }
    return true;
}();

} // namespace
