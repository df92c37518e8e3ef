// Animations: a background preload pass over 200 frames of 1280x720 against
// loading the same files one after another on the caller's thread; how long the
// host's getFrame of a loaded frame takes while a pass runs, next to one frame's
// load; and the frame search over a run of 10,000 files.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "sequence/frame_names.h"
#include "sequence/preloader.h"
#include "tivorn.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const int kFrames = 200, kWidth = 1280, kHeight = 720;

// Minor page faults of the process so far: first touches of fresh memory.
double minorFaults() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_minflt);
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A 24-bit bottom-up bitmap file of the picture.
void writeBmp(const std::string& path, const TVN_DWORD* pixels) {
    const unsigned stride = kWidth * 3, size = 54 + stride * kHeight;
    std::vector<unsigned char> b(size, 0);
    auto put = [&](unsigned at, unsigned v, int bytes) {
        for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, size, 4), put(10, 54, 4), put(14, 40, 4), put(18, kWidth, 4), put(22, kHeight, 4);
    put(26, 1, 2), put(28, 24, 2), put(34, stride * kHeight, 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const TVN_DWORD v = pixels[y * kWidth + x];
            put(54 + y * stride + x * 3, (v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16, 3); // blue first
        }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), size);
}

// 200 frames of a moving gradient with noise, made once per extension.
std::string framesOf(const std::string& extension) {
    const fs::path dir = fs::temp_directory_path() / ("tvn_bench_frames_" + extension);
    const std::string first = (dir / ("m0000." + extension)).string();
    if (fs::exists(dir / ("m0199." + extension))) return first;
    fs::create_directories(dir);
    std::mt19937 random(3);
    for (int f = 0; f < kFrames; ++f) {
        CRGBAImage image(kWidth, kHeight);
        TVN_DWORD* p = image.getBuffer();
        for (int i = 0; i < kWidth * kHeight; ++i)
            p[i] = tvnRGBA((i % kWidth + f) & 255, (i / kWidth) & 255, (f * 3 + random() % 16) & 255, 255);
        char name[32];
        std::snprintf(name, sizeof name, "m%04d.%s", f, extension.c_str());
        const std::string path = (dir / name).string();
        if (extension == "tga") image.saveTGA(path.c_str());
        else writeBmp(path, p);
    }
    return first;
}

std::vector<std::string> namesOf(const std::string& first) {
    FRAME_NAME_LIST list;
    tvn::sequence::enumerateFrameFiles(first.c_str(), list);
    std::vector<std::string> names(list.begin(), list.end());
    tvn::sequence::freeFrameNames(list);
    return names;
}

// One round of each way, timed on the wall clock and in minor page faults.
struct Round {
    double ms, faults;
};

// Every frame loaded with load on this thread, all kept, as a set keeps them.
Round loadOneAfterAnother(const std::vector<std::string>& names) {
    std::vector<std::unique_ptr<CRGBAImage>> frames;
    const double faults = minorFaults();
    const Clock::time_point start = Clock::now();
    for (const std::string& name : names) {
        frames.emplace_back(new CRGBAImage);
        frames.back()->load(name.c_str(), 0);
    }
    return {secondsSince(start) * 1e3, minorFaults() - faults};
}

// A set made from the first name; its constructor's pass loads every frame on the preloader's thread.
Round preloadPass(const std::string& first) {
    const double faults = minorFaults();
    const Clock::time_point start = Clock::now();
    CRGBAImageSet set(first.c_str());
    CRGBAVideo::m_pVideoPreloader->waitForPasses(&set);
    const Round round{secondsSince(start) * 1e3, minorFaults() - faults};
    return set.getNumFrames() == kFrames ? round : Round{-1, 0};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The two ways run in pairs, taking turns at going first, so that a busy
// neighbour or a drifting clock weighs on both alike; the ratio is the median
// of the pairs' ratios. The reported time is the pass's.
void BM_PreloadPassAgainstLoads(benchmark::State& state, const char* extension) {
    const std::string first = framesOf(extension);
    const std::vector<std::string> names = namesOf(first);
    std::vector<double> loadsMs, passMs, ratios, loadsFaults, passFaults;
    for (auto _ : state) {
        const bool passFirst = loadsMs.size() % 2 != 0;
        Round pass{}, loads{};
        if (passFirst) pass = preloadPass(first);
        loads = loadOneAfterAnother(names);
        if (!passFirst) pass = preloadPass(first);
        if (pass.ms < 0) return state.SkipWithError("frames missing");
        state.SetIterationTime(pass.ms / 1e3);
        loadsMs.push_back(loads.ms), passMs.push_back(pass.ms), ratios.push_back(pass.ms / loads.ms);
        loadsFaults.push_back(loads.faults), passFaults.push_back(pass.faults);
    }
    state.counters["loads_ms"] = median(loadsMs);
    state.counters["pass_ms"] = median(passMs);
    state.counters["pass_per_loads"] = median(ratios);
    state.counters["loads_faults"] = median(loadsFaults);
    state.counters["pass_faults"] = median(passFaults);
}

std::atomic<bool> gPassDone;
void TVN_CDECL passDone(void*) {
    gPassDone = true;
}

// getFrame of a loaded frame, asked again and again while the pass loads the rest.
void BM_GetLoadedFrameDuringPass(benchmark::State& state) {
    const std::string first = framesOf("tga");
    std::vector<double> micros;
    double loadMs = 0;
    for (auto _ : state) {
        {
            const Clock::time_point start = Clock::now();
            CRGBAImage one;
            one.load(first.c_str(), 0);
            loadMs = secondsSince(start) * 1e3;
        }
        gPassDone = false;
        CRGBAImageSet set(first.c_str());
        set.setPreloadCallback(passDone, nullptr);
        set.getFrame(0);
        while (!gPassDone) {
            const Clock::time_point start = Clock::now();
            CRGBAImage* frame = set.getFrame(0);
            micros.push_back(secondsSince(start) * 1e6);
            benchmark::DoNotOptimize(frame);
        }
        CRGBAVideo::m_pVideoPreloader->waitForPasses(&set);
    }
    std::sort(micros.begin(), micros.end());
    auto at = [&](double q) { return micros.empty() ? 0 : micros[static_cast<size_t>(q * (micros.size() - 1))]; };
    state.counters["calls"] = static_cast<double>(micros.size());
    state.counters["p50_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = at(1.0);
    state.counters["one_load_ms"] = loadMs;
}

// While a pass over 200 frames runs: getFrame of the last frame, not loaded yet,
// then destroying the set, which stops the pass between two frames.
void BM_UnloadedFrameAndDestroyDuringPass(benchmark::State& state) {
    const std::string first = framesOf("tga");
    double getMs = 0, destroyMs = 0;
    for (auto _ : state) {
        std::unique_ptr<CRGBAImageSet> set(new CRGBAImageSet(first.c_str()));
        Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(set->getFrame(kFrames - 1));
        getMs += secondsSince(start) * 1e3;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        start = Clock::now();
        set.reset();
        destroyMs += secondsSince(start) * 1e3;
    }
    state.counters["getFrame_unloaded_ms"] = getMs / static_cast<double>(state.iterations());
    state.counters["destroy_mid_pass_ms"] = destroyMs / static_cast<double>(state.iterations());
}

// The frame search over 10,000 existing (empty) files.
void BM_EnumerateFrameFiles(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "tvn_bench_names";
    if (!fs::exists(dir / "n09999.tga")) {
        fs::create_directories(dir);
        for (int i = 0; i < 10000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "n%05d.tga", i);
            std::ofstream(dir / name);
        }
    }
    const std::string first = (dir / "n00000.tga").string();
    FRAME_NAME_LIST list;
    for (auto _ : state) {
        tvn::sequence::enumerateFrameFiles(first.c_str(), list);
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["names"] = static_cast<double>(list.size());
    tvn::sequence::freeFrameNames(list);
}

} // namespace

BENCHMARK_CAPTURE(BM_PreloadPassAgainstLoads, tga, "tga")->UseManualTime()->Iterations(12)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PreloadPassAgainstLoads, bmp, "bmp")->UseManualTime()->Iterations(12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetLoadedFrameDuringPass)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnloadedFrameAndDestroyDuringPass)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnumerateFrameFiles)->Unit(benchmark::kMillisecond);
