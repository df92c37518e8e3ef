// Loading a 4000x3000 picture: a 24-bit BMP, and a 32-bit TGA plain and
// run-length coded, through CRGBAImage::load and, when it is installed, through
// stb_image in the same run. Each file is read from the temporary folder and
// from memory (a memory file for load, stbi_load_from_memory for stb_image),
// which leaves out the system's file reads: the run-length reader makes one read
// per 512 bytes by design.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_util.h"
#include "platform/platform.h"
#include "platform/testing/test_environment.h"
#include "tivorn.h"

#ifdef TIVORN_HAVE_STB
#include <stb_image.h>
#endif

namespace {

const int kWidth = 4000, kHeight = 3000;
using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
void put32(Bytes& b, unsigned v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A photo-like 24-bit bitmap: gradients with noise.
Bytes makeBmp() {
    std::mt19937 rng(1);
    const unsigned stride = (kWidth * 3 + 3) & ~3u;
    Bytes b = {'B', 'M'};
    put32(b, 54 + stride * kHeight);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, kWidth);
    put32(b, kHeight);
    put16(b, 1);
    put16(b, 24);
    for (int i = 0; i < 6; ++i) put32(b, 0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            b.push_back(static_cast<unsigned char>(x / 16 + rng() % 8));
            b.push_back(static_cast<unsigned char>(y / 12 + rng() % 8));
            b.push_back(static_cast<unsigned char>((x + y) / 28));
        }
        b.resize(b.size() + stride - kWidth * 3, 0);
    }
    return b;
}

Bytes tgaHeader(unsigned type) {
    Bytes b = {0, 0, static_cast<unsigned char>(type), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(b, kWidth);
    put16(b, kHeight);
    b.push_back(32);
    b.push_back(8); // eight alpha bits, bottom-left origin
    return b;
}

// The picture of the TGA cases, as its file would hold it: flat areas of a
// colour (runs of 4 to 100 pixels) between stretches of detail (1 to 40).
std::vector<unsigned> tgaPixels() {
    std::mt19937 rng(2);
    std::vector<unsigned> px;
    px.reserve(std::size_t(kWidth) * kHeight);
    while (px.size() < std::size_t(kWidth) * kHeight) {
        const bool flat = rng() % 10 < 7;
        std::size_t n = flat ? 4 + rng() % 97 : 1 + rng() % 40;
        unsigned c = rng();
        for (std::size_t i = 0; i < n && px.size() < std::size_t(kWidth) * kHeight; ++i)
            px.push_back(flat ? c : static_cast<unsigned>(rng()));
    }
    return px;
}

Bytes makeTgaRaw(const std::vector<unsigned>& px) {
    Bytes b = tgaHeader(2);
    for (unsigned p : px) put32(b, p);
    return b;
}

// Packets as a writer makes them: runs of equal pixels, literals between them.
Bytes makeTgaRle(const std::vector<unsigned>& px) {
    Bytes b = tgaHeader(10);
    std::size_t i = 0;
    while (i < px.size()) {
        std::size_t run = 1;
        while (i + run < px.size() && run < 128 && px[i + run] == px[i]) ++run;
        if (run >= 2) {
            b.push_back(static_cast<unsigned char>(0x80 | (run - 1)));
            put32(b, px[i]);
            i += run;
            continue;
        }
        std::size_t n = 1;
        while (i + n < px.size() && n < 128 && (i + n + 1 >= px.size() || px[i + n] != px[i + n + 1])) ++n;
        b.push_back(static_cast<unsigned char>(n - 1));
        for (std::size_t k = 0; k < n; ++k) put32(b, px[i + k]);
        i += n;
    }
    return b;
}

std::string tempPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/tivorn_bench_" + name;
}

// The three files, made once per run: in the temporary folder (removed at exit)
// and in memory.
struct Files {
    Bytes bytes[3];
    std::string disk[3] = {tempPath("photo.bmp"), tempPath("raw.tga"), tempPath("rle.tga")};
    std::string memory[3] = {"mem/bench/photo.bmp", "mem/bench/raw.tga", "mem/bench/rle.tga"};
    Files() {
        const std::vector<unsigned> px = tgaPixels();
        bytes[0] = makeBmp();
        bytes[1] = makeTgaRaw(px);
        bytes[2] = makeTgaRle(px);
        for (int i = 0; i < 3; ++i) {
            std::ofstream(disk[i], std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes[i].data()), static_cast<std::streamsize>(bytes[i].size()));
            tvn::plat::testing::memoryFileAdd(memory[i].c_str(), bytes[i].data(), bytes[i].size());
        }
    }
    ~Files() {
        for (int i = 0; i < 3; ++i) std::remove(disk[i].c_str());
    }
};

const Files& files() {
    static Files f;
    return f;
}

void BM_LoadTivorn(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const std::string& path = state.range(1) ? files().memory[which] : files().disk[which];
    for (auto _ : state) {
        CRGBAImage image;
        if (!image.load(path.c_str(), 0)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.getBuffer());
    }
    reportMegapixels(state, double(kWidth) * kHeight);
}

#ifdef TIVORN_HAVE_STB
void BM_LoadStb(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const bool memory = state.range(1) != 0;
    const std::string& path = files().disk[which];
    const Bytes& bytes = files().bytes[which];
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        unsigned char* p = memory ? stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &n, 4)
                                  : stbi_load(path.c_str(), &w, &h, &n, 4);
        if (!p) state.SkipWithError("stbi_load failed");
        benchmark::DoNotOptimize(p);
        stbi_image_free(p);
    }
    reportMegapixels(state, double(kWidth) * kHeight);
}
#endif

void fileArgs(benchmark::internal::Benchmark* b) {
    // file: 0 BMP 24-bit, 1 TGA 32-bit plain, 2 TGA 32-bit run-length; memory: 0 disk, 1 memory
    b->ArgNames({"file", "memory"})->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_LoadTivorn)->Apply(fileArgs);
#ifdef TIVORN_HAVE_STB
BENCHMARK(BM_LoadStb)->Apply(fileArgs);
#endif

} // namespace
