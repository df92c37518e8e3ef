// The worker pool on the two heaviest operations, against libvips at its own
// default concurrency: setSize 4000x3000 -> 1000x750 bicubic beside vips_reduce
// with the cubic kernel (vips_resize would treat the fourth band as alpha and
// premultiply it in floating point: not the same work), and the box blur with
// k = 5 (into a picture from the library's heap, as the image's blur allocates
// it) beside vips_convsep with an 11-tap box on the same picture embedded in
// black.
// Every iteration runs each contender once, taking turns at going first, so
// that a busy neighbour weighs on all alike; the counters are medians over the
// iterations, the ratios medians of the iterations' ratios. The reported time
// is tivorn's at the default count (one thread per processor).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "pixel/plane.h"
#include "pixel/heap.h"
#include "bench_util.h"
#include "tivorn.h"

#ifdef TIVORN_HAVE_VIPS
#include <vips/vips.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

const TVN_DWORD kW = 4000, kH = 3000;

const std::vector<TVN_DWORD>& source() {
    static const std::vector<TVN_DWORD> px = photoLike(kW, kH, 17);
    return px;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Contender {
    std::string name;
    std::function<void()> run;
    unsigned workers; // tivorn's count (0: the default), set untimed before the run
    std::vector<double> ms;
};

// Runs every contender once per iteration, the first one a different one each
// time; contender 0 (tivorn at the default count) gives the iteration's time.
// A count is set the way a host sets it, once before its work: the change and
// one untimed run (which starts the pool's threads again) come before the timed
// one, so that both counts are measured as they run in a steady host.
void paired(benchmark::State& state, std::vector<Contender>& all) {
    for (Contender& c : all) c.run(); // first use of the pool, of vips, of blocks this big
    std::size_t first = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < all.size(); ++i) {
            Contender& c = all[(first + i) % all.size()];
            if (c.workers != ~0u) {
                tvnSetWorkerCount(c.workers);
                c.run();
            }
            const auto start = Clock::now();
            c.run();
            c.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        first = (first + 1) % all.size();
        state.SetIterationTime(all[0].ms.back() / 1e3);
    }
    tvnSetWorkerCount(0);
    for (const Contender& c : all) state.counters[c.name + "_ms"] = median(c.ms);
    for (std::size_t i = 1; i < all.size(); ++i) {
        std::vector<double> ratios;
        for (std::size_t n = 0; n < all[0].ms.size(); ++n) ratios.push_back(all[i].ms[n] / all[0].ms[n]);
        state.counters[all[i].name + "_per_default"] = median(ratios);
    }
}

#ifdef TIVORN_HAVE_VIPS
bool vipsReady() {
    static const bool ready = [] {
        if (VIPS_INIT("tivorn_bench")) return false;
        vips_cache_set_max(0); // every run computes afresh
        return true;
    }();
    if (ready) vips_concurrency_set(0); // its default: one thread per processor
    return ready;
}

VipsImage* vipsSource() {
    const std::vector<TVN_DWORD>& px = source();
    return vips_image_new_from_memory(px.data(), px.size() * 4, int(kW), int(kH), 4, VIPS_FORMAT_UCHAR);
}

// Computes out into fresh memory, as a host that keeps the result does.
void vipsFinish(VipsImage* out) {
    std::size_t size = 0;
    void* mem = out ? vips_image_write_to_memory(out, &size) : nullptr;
    benchmark::DoNotOptimize(mem);
    g_free(mem);
    if (out) g_object_unref(out);
}
#endif

void setSizeCase(benchmark::State& state) {
    CRGBAImage image(source().data(), kW, kH);
    image.setSize(kW, kH, CRGBAImage::BicubicFilter, nullptr, nullptr); // the untouched copy exists from here on
    auto run = [&image] {
        if (!image.setSize(1000, 750, CRGBAImage::BicubicFilter, nullptr, nullptr)) std::abort();
    };
    std::vector<Contender> all = {{"tivorn_default", run, 0, {}}, {"tivorn_1", run, 1, {}}};
#ifdef TIVORN_HAVE_VIPS
    VipsImage* in = vipsReady() ? vipsSource() : nullptr;
    if (in) {
        all.push_back({"vips_reduce_cubic", [in] {
                           VipsImage* out = nullptr;
                           vips_reduce(in, &out, 4.0, 4.0, "kernel", VIPS_KERNEL_CUBIC, nullptr);
                           vipsFinish(out);
                       }, ~0u, {}});
    }
#endif
    paired(state, all);
#ifdef TIVORN_HAVE_VIPS
    if (in) g_object_unref(in);
#endif
}

void blurCase(benchmark::State& state) {
    const unsigned k = 5;
    auto run = [k] {
        TVN_DWORD* out = tvn::pixel::allocPixels(kW + 2 * k, kH + 2 * k);
        unsigned kernel = k;
        tvn2PassBlur(const_cast<TVN_DWORD*>(source().data()), out, kW, kH, &kernel);
        benchmark::DoNotOptimize(out);
        tvn::pixel::heapFree(out);
    };
    std::vector<Contender> all = {{"tivorn_default", run, 0, {}}, {"tivorn_1", run, 1, {}}};
#ifdef TIVORN_HAVE_VIPS
    VipsImage* in = vipsReady() ? vipsSource() : nullptr;
    VipsImage* mask = in ? vips_image_new_matrix(2 * k + 1, 1) : nullptr;
    if (mask) {
        for (unsigned i = 0; i < 2 * k + 1; ++i) *VIPS_MATRIX(mask, i, 0) = 1.0;
        vips_image_set_double(mask, "scale", 2 * k + 1);
        all.push_back({"vips_convsep_box", [in, mask, k] {
                           VipsImage *big = nullptr, *out = nullptr;
                           vips_embed(in, &big, k, k, kW + 2 * k, kH + 2 * k, "extend", VIPS_EXTEND_BLACK, nullptr);
                           if (big) vips_convsep(big, &out, mask, "precision", VIPS_PRECISION_INTEGER, nullptr);
                           vipsFinish(out);
                           if (big) g_object_unref(big);
                       }, ~0u, {}});
    }
#endif
    paired(state, all);
#ifdef TIVORN_HAVE_VIPS
    if (mask) g_object_unref(mask);
    if (in) g_object_unref(in);
#endif
}

BENCHMARK(setSizeCase)->Name("pool/setSize/4000x3000->1000x750/Bicubic")->UseManualTime()->Iterations(20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(blurCase)->Name("pool/blur/4000x3000/k=5")->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
