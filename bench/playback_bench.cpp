// Playing numbered frame runs made from a real picture: a slow zoom into it,
// 120 frames of 1920x1080 and 72 of 3840x2160, saved as full-chroma JPEG (as
// rendered frames usually are), as TGA and as an animation cache.
//
// - Draining a run: an image set with keepReady(8) and a memory budget of 8
//   frames asked for every frame in turn, against loading each frame with load on the host's thread, against
//   ffmpeg decoding the same files (-f image2, its default threads), taking
//   turns in one process; and the cache's frames read in turn.
// - Playing a run at a frame rate through the set: frames not ready by their
//   time, after the first window.
//
// The picture: $TIVORN_BENCH_PICTURE, else the 5120x2880 SafeLanding painting of
// Debian's plasma-workspace-wallpapers. The runs are made once, under the
// temporary folder (tivorn-playback/), and kept for later runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tivorn.h"

#ifdef TIVORN_HAVE_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string picturePath() {
    const char* given = std::getenv("TIVORN_BENCH_PICTURE");
    return given ? given : "/usr/share/wallpapers/SafeLanding/contents/images/5120x2880.jpg";
}

struct Run {
    std::string folder, jpg, tga, cache; // the first frame of each, and the cache
    int frames = 0;
    TVN_DWORD width = 0, height = 0;
};

std::string frameName(const std::string& folder, int i, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "f%04d.%s", i, extension);
    return (fs::path(folder) / name).string();
}

#ifdef TIVORN_HAVE_TURBOJPEG
bool writeJpeg444(const std::string& path, CRGBAImage& image) {
    const TVN_DWORD w = image.getWidth(), h = image.getHeight();
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(w) * h * 3);
    for (TVN_DWORD y = h; y-- > 0;) // bottom-up words, top-down JPEG
        for (TVN_DWORD x = 0; x < w; ++x) {
            const TVN_DWORD p = image.getBuffer()[y * w + x];
            rgb.insert(rgb.end(), {tvnGetRValue(p), tvnGetGValue(p), tvnGetBValue(p)});
        }
    tjhandle encoder = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(encoder, rgb.data(), static_cast<int>(w), 0, static_cast<int>(h), TJPF_RGB, &out,
                               &size, TJSAMP_444, 90, 0);
    if (rc == 0) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f) std::fwrite(out, 1, size, f), std::fclose(f);
    }
    tjFree(out);
    tjDestroy(encoder);
    return rc == 0;
}
#endif

// The run of `frames` frames of w x h: frame i shows the middle of the picture
// cut to (1 - 0.2 i / (frames - 1)) of its size, resized bicubically.
Run makeRun(TVN_DWORD w, TVN_DWORD h, int frames) {
    Run run;
    run.folder = (fs::temp_directory_path() / "tivorn-playback" / (std::to_string(w) + "x" + std::to_string(h))).string();
    run.jpg = frameName(run.folder, 0, "jpg");
    run.tga = frameName(run.folder, 0, "tga");
    run.cache = (fs::path(run.folder) / "run.kac").string();
    run.frames = frames;
    run.width = w;
    run.height = h;
    if (fs::exists(frameName(run.folder, frames - 1, "jpg")) && fs::exists(run.cache)) return run;
#ifdef TIVORN_HAVE_TURBOJPEG
    CRGBAImage source;
    if (!source.load(picturePath().c_str(), 0)) return Run();
    fs::create_directories(run.folder);
    const TVN_DWORD sw = source.getWidth(), sh = source.getHeight();
    for (int i = 0; i < frames; ++i) {
        const double z = 1 - 0.2 * i / (frames - 1);
        const TVN_DWORD cw = static_cast<TVN_DWORD>(sw * z), ch = static_cast<TVN_DWORD>(sh * z);
        const TVN_DWORD x0 = (sw - cw) / 2, y0 = (sh - ch) / 2;
        std::vector<TVN_DWORD> cut(static_cast<std::size_t>(cw) * ch);
        for (TVN_DWORD y = 0; y < ch; ++y)
            std::copy_n(source.getBuffer() + static_cast<std::size_t>(y0 + y) * sw + x0, cw, cut.begin() + y * cw);
        CRGBAImage frame(cut.data(), cw, ch);
        frame.setSize(w, h, CRGBAImage::BicubicFilter, nullptr, nullptr);
        if (!writeJpeg444(frameName(run.folder, i, "jpg"), frame)) return Run();
        frame.saveTGA(frameName(run.folder, i, "tga").c_str());
    }
    CKACReaderWriter rw;
    const TVN_DWORD handle = rw.openFile(run.cache.c_str(), 1);
    if (!rw.addEntry(handle, run.tga.c_str()) || !rw.saveCacheFile(handle, nullptr, nullptr)) return Run();
    return run;
#else
    return Run();
#endif
}

const Run& run(int which) {
    static const Run runs[2] = {makeRun(1920, 1080, 120), makeRun(3840, 2160, 72)};
    return runs[which];
}

unsigned long long sink = 0;

// Every frame loaded with load on this thread, in turn.
double loadOnThisThread(const Run& r, const char* extension) {
    const auto start = Clock::now();
    for (int i = 0; i < r.frames; ++i) {
        CRGBAImage image;
        if (image.load(frameName(r.folder, i, extension).c_str(), 0)) sink += image.getBuffer()[i];
    }
    return msSince(start);
}

// Every frame asked of an image set in turn, as a player drains it: keeping 8
// frames each way and a memory budget of 8 frames more (the whole run of
// 3840x2160 frames would hold 2.4 GB).
void playerSettings(CRGBAImageSet& set, const Run& r) {
    set.keepReady(8);
    set.setMemoryBudget(8ull * r.width * r.height * 4);
}

double drainSet(const Run& r, const std::string& first) {
    const auto start = Clock::now();
    CRGBAImageSet set(first.c_str());
    playerSettings(set, r);
    for (int i = 0; i < r.frames; ++i)
        if (CRGBAImage* frame = set.getFrame(static_cast<unsigned>(i))) sink += frame->getBuffer()[i];
    return msSince(start);
}

// Every frame of the cache's entry read into one buffer, in turn.
double readCache(const Run& r) {
    const auto start = Clock::now();
    CKACReaderWriter rw;
    const TVN_DWORD h = rw.openFile(r.cache.c_str(), 0);
    std::vector<TVN_DWORD> pixels(static_cast<std::size_t>(r.width) * r.height);
    for (int i = 0; i < r.frames; ++i)
        if (rw.getFrameData(h, 0, static_cast<unsigned>(i), pixels.data())) sink += pixels[i];
    return msSince(start);
}

// ffmpeg decoding the same files to nothing; -1 when it cannot be run.
double ffmpegDecode(const Run& r, const char* extension) {
    const std::string command = "ffmpeg -hide_banner -loglevel error -nostdin -f image2 -i '" +
                                (fs::path(r.folder) / (std::string("f%04d.") + extension)).string() +
                                "' -f null - >/dev/null 2>&1";
    const auto start = Clock::now();
    return std::system(command.c_str()) == 0 ? msSince(start) : -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Draining a run through the set against the host's thread and ffmpeg, from
// JPEG or TGA files; the cache read alongside. Rates in frames a second.
void BM_DrainRun(benchmark::State& state) {
    const Run& r = run(static_cast<int>(state.range(0)));
    const char* extension = state.range(1) ? "tga" : "jpg";
    if (!r.frames) return state.SkipWithError("no picture or no TurboJPEG to make the run (see the file's head)");
    const std::string first = state.range(1) ? r.tga : r.jpg;
    std::vector<double> host, set, ffmpeg, cache, ratio;
    for (auto _ : state) {
        const bool setFirst = ratio.size() % 2 == 1;
        double h = 0, s = 0;
        if (setFirst) s = drainSet(r, first);
        h = loadOnThisThread(r, extension);
        if (!setFirst) s = drainSet(r, first);
        host.push_back(r.frames * 1000.0 / h);
        set.push_back(r.frames * 1000.0 / s);
        ratio.push_back(h / s);
        const double f = ffmpegDecode(r, extension);
        if (f > 0) ffmpeg.push_back(r.frames * 1000.0 / f);
        cache.push_back(r.frames * 1000.0 / readCache(r));
    }
    state.counters["host_fps"] = median(host);
    state.counters["set_fps"] = median(set);
    state.counters["set_per_host"] = median(ratio);
    state.counters["ffmpeg_fps"] = median(ffmpeg);
    state.counters["cache_fps"] = median(cache);
}
BENCHMARK(BM_DrainRun)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"run", "tga"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Playing a run at `fps` through a set as it is drained above: a frame is late when
// getFrame returns it after its time (the first one's time plus i / fps); the
// schedule does not slip. Late frames after the first window, per play.
void BM_PlayRun(benchmark::State& state) {
    const Run& r = run(static_cast<int>(state.range(0)));
    const double fps = static_cast<double>(state.range(1));
    if (!r.frames) return state.SkipWithError("no picture or no TurboJPEG to make the run (see the file's head)");
    int worst = 0, total = 0, plays = 0;
    for (auto _ : state) {
        CRGBAImageSet set(r.jpg.c_str());
        playerSettings(set, r);
        int late = 0;
        Clock::time_point start;
        for (int i = 0; i < r.frames; ++i) {
            CRGBAImage* frame = set.getFrame(static_cast<unsigned>(i));
            if (frame) sink += frame->getBuffer()[0];
            if (i == 0) start = Clock::now();
            const auto due = start + std::chrono::microseconds(static_cast<long long>(i * 1e6 / fps));
            if (i > 8 && Clock::now() > due) ++late;
            std::this_thread::sleep_until(due);
        }
        worst = std::max(worst, late);
        total += late;
        ++plays;
    }
    state.counters["late_worst"] = worst;
    state.counters["late_per_play"] = static_cast<double>(total) / plays;
}
BENCHMARK(BM_PlayRun)->Args({0, 60})->Args({1, 24})->ArgNames({"run", "fps"})->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
