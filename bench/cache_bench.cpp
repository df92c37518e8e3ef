// Animation caches: opening a cache of 100 entries x 100 frames (per frame
// record), reading a 1920x1080 photo frame from a cache against loading it from
// its JPEG, BMP and TGA files and against the run-length constructor alone,
// saving 100 such frames against loading and packing them (in alternating pairs,
// the journal on), appending one entry to a 1 GB cache (bytes written per append
// reported from /proc/self/io), and the memory a save needs after the first
// entry of a 1 GB cache went (peak resident memory from /proc/self/status).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tivorn.h"

#ifdef TIVORN_HAVE_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
const TVN_DWORD kW = 1920, kH = 1080;

const fs::path& folder() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "tivorn-cache-bench";
        fs::create_directories(d);
        return d;
    }();
    return dir;
}
std::string at(const std::string& name) { return (folder() / name).string(); }

void put32(Bytes& b, TVN_DWORD v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void writeFile(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Entries of `frames` frames, all pointing at the same packed pixels, laid out
// as the library writes them.
Bytes buildCache(int entries, int frames, TVN_DWORD w, TVN_DWORD h, const Bytes& packed) {
    Bytes out(std::begin("KovraAnimationCache"), std::begin("KovraAnimationCache") + 19);
    std::vector<TVN_DWORD> offsets;
    for (int e = 0; e < entries; ++e) {
        char name[64];
        std::snprintf(name, sizeof name, "/no/such/folder/entry%03d_0000.tga", e);
        const std::string entryName = name;
        offsets.push_back(static_cast<TVN_DWORD>(out.size()));
        put32(out, static_cast<TVN_DWORD>(entryName.size()));
        out.insert(out.end(), entryName.begin(), entryName.end());
        put32(out, frames);
        TVN_DWORD pos = static_cast<TVN_DWORD>(out.size() + 4 * frames);
        const TVN_DWORD record = static_cast<TVN_DWORD>(24 + entryName.size() + packed.size());
        for (int k = 0; k < frames; ++k) put32(out, pos + record * k);
        for (int k = 0; k < frames; ++k) {
            std::snprintf(name, sizeof name, "/no/such/folder/entry%03d_%04d.tga", e, k);
            put32(out, static_cast<TVN_DWORD>(entryName.size()));
            out.insert(out.end(), name, name + entryName.size());
            for (TVN_DWORD v : {0x89ABCDEFu, 0x01DBu, w, h, static_cast<TVN_DWORD>(packed.size())}) put32(out, v);
            out.insert(out.end(), packed.begin(), packed.end());
        }
    }
    for (TVN_DWORD o : offsets) put32(out, o);
    put32(out, static_cast<TVN_DWORD>(entries));
    return out;
}

// A photograph-like picture: gradients, texture and noise.
std::vector<TVN_DWORD> photoPixels(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<TVN_DWORD> px(static_cast<std::size_t>(kW) * kH);
    for (TVN_DWORD y = 0; y < kH; ++y)
        for (TVN_DWORD x = 0; x < kW; ++x) {
            const unsigned n = rng() % 12;
            px[y * kW + x] = tvnRGBA(static_cast<unsigned char>(x * 200 / kW + n), static_cast<unsigned char>(y * 200 / kH + n),
                                     static_cast<unsigned char>(((x / 40 + y / 30) % 2 ? 180 : 60) + n), 255);
        }
    return px;
}

Bytes pack(CRGBAImage& image) {
    unsigned char* p = nullptr;
    const TVN_DWORD s = image.compressRLE(&p);
    Bytes b(p, p + s);
    CRGBAImage::freeRLEBuffer(p);
    return b;
}

// photo.jpg, photo.bmp and photo.tga of one picture, and the packed pixels of the
// JPEG as loaded. Empty when the JPEG cannot be made (no TurboJPEG).
struct Photo {
    std::string jpg, bmp, tga, cache;
    Bytes packed;
};

bool writeJpeg(const std::string& path, const std::vector<TVN_DWORD>& px) {
#ifdef TIVORN_HAVE_TURBOJPEG
    std::vector<unsigned char> rgb;
    for (TVN_DWORD y = kH; y-- > 0;) // the buffer is bottom-up, the JPEG top-down
        for (TVN_DWORD x = 0; x < kW; ++x) {
            const TVN_DWORD p = px[y * kW + x];
            rgb.insert(rgb.end(), {tvnGetRValue(p), tvnGetGValue(p), tvnGetBValue(p)});
        }
    tjhandle enc = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(enc, rgb.data(), kW, 0, kH, TJPF_RGB, &out, &size, TJSAMP_420, 90, 0);
    if (rc == 0) writeFile(path, Bytes(out, out + size));
    tjFree(out);
    tjDestroy(enc);
    return rc == 0;
#else
    (void)path;
    (void)px;
    return false;
#endif
}

const Photo& photo() {
    static const Photo p = [] {
        Photo r{at("photo.jpg"), at("photo.bmp"), at("photo.tga"), at("photo.kac"), {}};
        if (!writeJpeg(r.jpg, photoPixels(1))) return Photo();
        CRGBAImage image;
        image.load(r.jpg.c_str(), 0);
        image.saveTGA(r.tga.c_str());
        Bytes bmp = {'B', 'M'};
        for (TVN_DWORD v : {54 + kW * kH * 3, 0u, 54u, 40u, kW, kH}) put32(bmp, v);
        bmp.insert(bmp.end(), {1, 0, 24, 0});
        for (int i = 0; i < 6; ++i) put32(bmp, 0);
        for (std::size_t i = 0; i < static_cast<std::size_t>(kW) * kH; ++i) {
            const TVN_DWORD q = image.getBuffer()[i];
            bmp.insert(bmp.end(), {tvnGetBValue(q), tvnGetGValue(q), tvnGetRValue(q)});
        }
        writeFile(r.bmp, bmp);
        r.packed = pack(image);
        std::remove(r.cache.c_str());
        CKACReaderWriter rw;
        const TVN_DWORD h = rw.openFile(r.cache.c_str(), 1);
        rw.addEntry(h, r.jpg.c_str());
        rw.saveCacheFile(h, nullptr, nullptr);
        return r;
    }();
    return p;
}

void BM_CacheOpen100x100(benchmark::State& state) {
    const std::string path = at("open.kac");
    const std::vector<TVN_DWORD> px(4, 0xFF102030u);
    CRGBAImage tiny(px.data(), 2, 2);
    writeFile(path, buildCache(100, 100, 2, 2, pack(tiny)));
    CKACReaderWriter rw;
    for (auto _ : state) {
        const TVN_DWORD h = rw.openFile(path.c_str(), 0);
        if (rw.getNumCacheEntries(h) != 100) state.SkipWithError("the cache did not open");
        rw.closeFile(h);
    }
    state.counters["per_frame_record"] =
        benchmark::Counter(10000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CacheOpen100x100)->Unit(benchmark::kMillisecond);

void BM_PhotoFromCache(benchmark::State& state) {
    const Photo& p = photo();
    if (p.jpg.empty()) return state.SkipWithError("no TurboJPEG to make the photo");
    CKACReaderWriter rw;
    const TVN_DWORD h = rw.openFile(p.cache.c_str(), 0);
    std::vector<TVN_DWORD> out(static_cast<std::size_t>(kW) * kH);
    for (auto _ : state)
        if (!rw.getFrameData(h, 0, 0, out.data())) state.SkipWithError("getFrameData failed");
}
BENCHMARK(BM_PhotoFromCache)->Unit(benchmark::kMillisecond);

void BM_PhotoRunLengthConstructor(benchmark::State& state) {
    const Photo& p = photo();
    if (p.jpg.empty()) return state.SkipWithError("no TurboJPEG to make the photo");
    for (auto _ : state) {
        CRGBAImage image(p.packed.data(), static_cast<TVN_DWORD>(p.packed.size()), kW, kH);
        benchmark::DoNotOptimize(image.getBuffer());
    }
}
BENCHMARK(BM_PhotoRunLengthConstructor)->Unit(benchmark::kMillisecond);

void BM_PhotoLoad(benchmark::State& state, int which) {
    const Photo& p = photo();
    if (p.jpg.empty()) return state.SkipWithError("no TurboJPEG to make the photo");
    const std::string& path = which == 0 ? p.jpg : which == 1 ? p.bmp : p.tga;
    for (auto _ : state) {
        CRGBAImage image;
        if (!image.load(path.c_str(), 0)) state.SkipWithError("load failed");
    }
}
BENCHMARK_CAPTURE(BM_PhotoLoad, jpeg, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PhotoLoad, bmp, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PhotoLoad, tga, 2)->Unit(benchmark::kMillisecond);

// 100 frames photo0000.jpg ... photo0099.jpg (one picture, shifted per frame).
std::string saveSources() {
    static const std::string first = [] {
        for (int k = 0; k < 100; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "seq%04d.jpg", k);
            if (!writeJpeg(at(name), photoPixels(100 + k))) return std::string();
        }
        return at("seq0000.jpg");
    }();
    return first;
}

void BM_Save100PhotoFrames(benchmark::State& state) {
    const std::string first = saveSources();
    if (first.empty()) return state.SkipWithError("no TurboJPEG to make the frames");
    const std::string path = at("save.kac");
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(path.c_str());
        CKACReaderWriter rw;
        const TVN_DWORD h = rw.openFile(path.c_str(), 1);
        rw.addEntry(h, first.c_str());
        state.ResumeTiming();
        if (!rw.saveCacheFile(h, nullptr, nullptr)) state.SkipWithError("save failed");
    }
    std::remove(path.c_str()); // 800 MB
}
BENCHMARK(BM_Save100PhotoFrames)->Unit(benchmark::kMillisecond)->Iterations(3);

// What a save of the 100 frames does besides writing: load and pack each.
void loadAndPack100() {
    for (int k = 0; k < 100; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "seq%04d.jpg", k);
        CRGBAImage image;
        image.load(at(name).c_str(), 0);
        unsigned char* packed = nullptr;
        image.compressRLE(&packed);
        CRGBAImage::freeRLEBuffer(packed);
    }
}

void BM_LoadAndPack100PhotoFrames(benchmark::State& state) {
    const std::string first = saveSources();
    if (first.empty()) return state.SkipWithError("no TurboJPEG to make the frames");
    for (auto _ : state) loadAndPack100();
}
BENCHMARK(BM_LoadAndPack100PhotoFrames)->Unit(benchmark::kMillisecond)->Iterations(3);

// A save of 100 frames and loading and packing the same frames, taking turns,
// so that both meet the same machine: the median of the pairs' ratios.
void BM_SavePairedWithLoadAndPack(benchmark::State& state) {
    const std::string first = saveSources();
    if (first.empty()) return state.SkipWithError("no TurboJPEG to make the frames");
    const std::string path = at("pair.kac");
    std::vector<double> ratios;
    double saveMs = 0, packMs = 0;
    for (auto _ : state) {
        double times[2] = {0, 0};
        for (int turn = 0; turn < 2; ++turn) {
            const bool saveFirst = ratios.size() % 2 == 0;
            const bool saving = (turn == 0) == saveFirst;
            std::remove(path.c_str());
            CKACReaderWriter rw;
            const TVN_DWORD h = rw.openFile(path.c_str(), 1);
            rw.addEntry(h, first.c_str());
            const auto start = std::chrono::steady_clock::now();
            if (saving) {
                if (!rw.saveCacheFile(h, nullptr, nullptr)) state.SkipWithError("save failed");
            } else {
                loadAndPack100();
            }
            times[saving ? 0 : 1] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
        saveMs += times[0];
        packMs += times[1];
        ratios.push_back(times[0] / times[1]);
    }
    std::remove(path.c_str());
    std::sort(ratios.begin(), ratios.end());
    state.counters["save_ms"] = saveMs / ratios.size();
    state.counters["load_pack_ms"] = packMs / ratios.size();
    state.counters["save_per_load_pack"] = ratios[ratios.size() / 2];
}
BENCHMARK(BM_SavePairedWithLoadAndPack)->Unit(benchmark::kMillisecond)->Iterations(4);

// The same save on one thread and with the worker pool at its default size,
// taking turns: the median of the pairs' ratios (one worker's time over the pool's).
void BM_SaveOneWorkerAgainstThePool(benchmark::State& state) {
    const std::string first = saveSources();
    if (first.empty()) return state.SkipWithError("no TurboJPEG to make the frames");
    const std::string path = at("workers.kac");
    std::vector<double> ratios;
    double oneMs = 0, poolMs = 0;
    for (auto _ : state) {
        double times[2] = {0, 0};
        for (int turn = 0; turn < 2; ++turn) {
            const bool one = (turn == 0) == (ratios.size() % 2 == 0);
            tvnSetWorkerCount(one ? 1 : 0);
            std::remove(path.c_str());
            CKACReaderWriter rw;
            const TVN_DWORD h = rw.openFile(path.c_str(), 1);
            rw.addEntry(h, first.c_str());
            const auto start = std::chrono::steady_clock::now();
            if (!rw.saveCacheFile(h, nullptr, nullptr)) state.SkipWithError("save failed");
            times[one ? 0 : 1] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
        oneMs += times[0];
        poolMs += times[1];
        ratios.push_back(times[0] / times[1]);
    }
    tvnSetWorkerCount(0);
    std::remove(path.c_str());
    std::sort(ratios.begin(), ratios.end());
    state.counters["one_worker_ms"] = oneMs / ratios.size();
    state.counters["pool_ms"] = poolMs / ratios.size();
    state.counters["one_per_pool"] = ratios[ratios.size() / 2];
}
BENCHMARK(BM_SaveOneWorkerAgainstThePool)->Unit(benchmark::kMillisecond)->Iterations(4);

// Kilobytes of a field of /proc/self/status (VmRSS, VmHWM).
long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == field) {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// A 1 GB cache whose first entry (packed photos of files that are gone) is
// deleted: the save writes the second entry, 10 photo frames, again from their
// JPEG files. The journal keeps the gigabyte; memory grows by one frame and
// fixed buffers.
void BM_SaveAfterDeletingFirstOfGigabyteCache(benchmark::State& state) {
    const Photo& p = photo();
    const std::string first = saveSources();
    if (p.jpg.empty() || first.empty()) return state.SkipWithError("no TurboJPEG to make the photos");
    const std::string path = at("bigdel.kac");
    long extraKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            const int frames = static_cast<int>((1ull << 30) / p.packed.size()) + 1;
            writeFile(path, buildCache(1, frames, kW, kH, p.packed));
            CKACReaderWriter rw;
            const TVN_DWORD h = rw.openFile(path.c_str(), 0);
            rw.reopenAsWritable(h);
            rw.addEntry(h, at("seq0090.jpg").c_str());
            rw.saveCacheFile(h, nullptr, nullptr); // appended: the 1 GB stays in place
        }
        CKACReaderWriter rw;
        const TVN_DWORD h = rw.openFile(path.c_str(), 0);
        rw.reopenAsWritable(h);
        rw.deleteEntry(h, 0);
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
        const long before = statusKb("VmRSS:");
        state.ResumeTiming();
        if (!rw.saveCacheFile(h, nullptr, nullptr)) state.SkipWithError("save failed");
        state.PauseTiming();
        extraKb = std::max(extraKb, statusKb("VmHWM:") - before);
        state.ResumeTiming();
    }
    std::remove(path.c_str());
    state.counters["peak_extra_MB"] = static_cast<double>(extraKb) / 1024;
    state.counters["one_frame_MB"] = static_cast<double>(kW) * kH * 4 / (1 << 20);
}
BENCHMARK(BM_SaveAfterDeletingFirstOfGigabyteCache)->Unit(benchmark::kMillisecond)->Iterations(1);

unsigned long long bytesWritten() {
    std::ifstream io("/proc/self/io");
    std::string key;
    unsigned long long value = 0;
    while (io >> key >> value)
        if (key == "wchar:") return value;
    return 0;
}

void BM_AppendToOneGigabyteCache(benchmark::State& state) {
    const Photo& p = photo();
    if (p.jpg.empty()) return state.SkipWithError("no TurboJPEG to make the photo");
    const std::string path = at("big.kac");
    {
        const int frames = static_cast<int>((1ull << 30) / p.packed.size()) + 1;
        writeFile(path, buildCache(1, frames, kW, kH, p.packed));
    }
    const std::vector<TVN_DWORD> px(16, 0xFF00FF00u);
    const std::string small = at("small0000.tga");
    CRGBAImage(px.data(), 4, 4).saveTGA(small.c_str());
    unsigned long long written = 0;
    for (auto _ : state) {
        CKACReaderWriter rw;
        const TVN_DWORD h = rw.openFile(path.c_str(), 0);
        rw.reopenAsWritable(h);
        rw.addEntry(h, small.c_str());
        const unsigned long long before = bytesWritten();
        if (!rw.saveCacheFile(h, nullptr, nullptr)) state.SkipWithError("append failed");
        written += bytesWritten() - before;
    }
    state.counters["bytes_written_per_append"] = benchmark::Counter(static_cast<double>(written) / state.iterations());
    state.counters["cache_MB"] = benchmark::Counter(static_cast<double>(fs::file_size(path)) / (1 << 20));
    std::remove(path.c_str());
}
BENCHMARK(BM_AppendToOneGigabyteCache)->Unit(benchmark::kMillisecond);

} // namespace
