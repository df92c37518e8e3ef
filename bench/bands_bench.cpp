// Where the worker pool starts to pay: each heavy operation on small pictures,
// once with its bands on the calling thread alone and once spread over the
// pool (its threshold lowered to nothing), in pairs that take turns at going
// first. The counter pool_gain is the median of the pairs' time ratios (alone
// ÷ pooled): below 1 the pool costs more than it gives. These figures set the
// thresholds in pixel/bands.cpp.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/testing/test_environment.h"
#include "pixel/bands.h"
#include "tivorn.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<TVN_DWORD> noise(TVN_DWORD w, TVN_DWORD h) {
    std::mt19937 rng(w * 31 + h);
    std::vector<TVN_DWORD> px(static_cast<std::size_t>(w) * h);
    for (TVN_DWORD& p : px) p = rng();
    return px;
}

double timeOnce(const std::function<void()>& op) {
    const auto start = Clock::now();
    op();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs op with the pool on and off in turn; the reported time is the pooled one.
void paired(benchmark::State& state, const std::function<void()>& op, double work) {
    tvnSetWorkerCount(0);
    tvn::plat::testing::setHelperThreshold(0);
    op(); // the pool's threads exist from here on
    std::vector<double> ratios;
    bool pooledFirst = false;
    for (auto _ : state) {
        double alone = 0, pooled = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool pool = (turn == 0) == pooledFirst;
            tvn::plat::testing::setHelperThreshold(pool ? 0 : 1e300);
            (pool ? pooled : alone) = timeOnce(op);
        }
        pooledFirst = !pooledFirst;
        state.SetIterationTime(pooled);
        ratios.push_back(alone / pooled);
    }
    tvn::plat::testing::setHelperThreshold(-1);
    state.counters["pool_gain"] = median(ratios);
    state.counters["work"] = work;
}

void resizeCase(benchmark::State& state, TVN_DWORD side, TVN_DWORD to) {
    const std::vector<TVN_DWORD> px = noise(side, side);
    CRGBAImage image(px.data(), side, side);
    image.setSize(side, side, CRGBAImage::BicubicFilter, nullptr, nullptr);
    // Work of the larger pass: samples times taps (5 at these ratios).
    paired(state, [&] { image.setSize(to, to, CRGBAImage::BicubicFilter, nullptr, nullptr); },
           5.0 * to * std::max(side, to));
}

void blurCase(benchmark::State& state, TVN_DWORD side) {
    const std::vector<TVN_DWORD> px = noise(side, side);
    std::vector<TVN_DWORD> out(static_cast<std::size_t>(side + 10) * (side + 10));
    paired(state, [&] {
        unsigned k = 5;
        tvn2PassBlur(const_cast<TVN_DWORD*>(px.data()), out.data(), side, side, &k);
    }, double(side + 10) * (side + 10));
}

void alphaCase(benchmark::State& state, TVN_DWORD side, unsigned char mode) {
    const std::vector<TVN_DWORD> px = noise(side, side);
    CRGBAImage image(px.data(), side, side);
    IMG_TRANSP t = {};
    t.byMode = mode;
    t.byConstTransp = 30, t.byLGLeft = 10, t.byLGTop = 70, t.byEllCenter = 5, t.byEllBorder = 90;
    t.clrChromakey = 0x00336699, t.bChromakeySoft = 1, t.dwChromakeyDev = 100;
    paired(state, [&] { image.setTransparency(t, nullptr); }, double(side) * side);
}

void roughCase(benchmark::State& state, TVN_DWORD side) {
    const std::vector<TVN_DWORD> px = noise(side / 2, side / 2);
    CRGBAImage image(px.data(), side / 2, side / 2);
    paired(state, [&] { image.setSizeRough(side, side); }, double(side) * side);
}

const bool kRegistered = [] {
    auto add = [](const std::string& name, std::function<void(benchmark::State&)> f) {
        benchmark::RegisterBenchmark(("bands/" + name).c_str(), f)
            ->UseManualTime()
            ->Iterations(100)
            ->Unit(benchmark::kMicrosecond);
    };
    for (TVN_DWORD side : {128u, 256u, 384u, 512u, 768u, 1024u, 1536u, 2048u}) {
        add("setSize/shrink4/" + std::to_string(side), [side](benchmark::State& s) { resizeCase(s, side, side / 4); });
        add("setSize/enlarge2/" + std::to_string(side / 2),
            [side](benchmark::State& s) { resizeCase(s, side / 2, side); });
        add("blur/k=5/" + std::to_string(side), [side](benchmark::State& s) { blurCase(s, side); });
        add("setSizeRough/" + std::to_string(side), [side](benchmark::State& s) { roughCase(s, side); });
        const char* names[] = {"const", "gradient", "ellipse", "", "", "chromakey"};
        for (unsigned char mode : {0, 1, 2, 5})
            add(std::string("transparency/") + names[mode] + "/" + std::to_string(side),
                [side, mode](benchmark::State& s) { alphaCase(s, side, mode); });
    }
    return true;
}();

} // namespace
