// Run-length packing and decoding of a photo-like 1920x1080 picture.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/testing/test_environment.h"
#include "bench_util.h"
#include "pixel/cpu_features.h"
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

// A photograph's texture: noisy gradients below, a flat sky band with slow
// steps above (where runs form), bottom row first as in the buffer.
CRGBAImage& photoLikePicture() {
    static CRGBAImage* image = [] {
        const TVN_DWORD w = 1920, h = 1080;
        std::mt19937 rng(3);
        std::vector<TVN_DWORD> px(std::size_t(w) * h);
        for (TVN_DWORD y = 0; y < h; ++y)
            for (TVN_DWORD x = 0; x < w; ++x) {
                TVN_DWORD& p = px[std::size_t(y) * w + x];
                if (y > h * 2 / 3) {
                    const unsigned char b = static_cast<unsigned char>(200 + x / 240 + (rng() % 50 == 0));
                    p = tvnRGBA(90, 150, b, 255);
                } else {
                    auto noisy = [&](TVN_DWORD v) { return static_cast<unsigned char>((v + rng() % 13) & 0xFF); };
                    p = tvnRGBA(noisy(x * 200 / w), noisy(y * 200 / h), noisy(((x / 64 + y / 64) % 2) * 120), 255);
                }
            }
        return new CRGBAImage(px.data(), w, h);
    }();
    return *image;
}

// Argument 0: the fastest path of this processor; 1: the scalar reference.
void BM_CompressRLE(benchmark::State& state) {
    tvn::plat::testing::setProcessorLevel((state.range(0) != 0) ? 0 : 4);
    CRGBAImage& image = photoLikePicture();
    TVN_DWORD bytes = 0;
    for (auto _ : state) {
        unsigned char* packed = nullptr;
        bytes = image.compressRLE(&packed);
        benchmark::DoNotOptimize(packed);
        CRGBAImage::freeRLEBuffer(packed);
    }
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    state.counters["ratio"] = double(bytes) / (4.0 * image.getWidth() * image.getHeight());
    reportMegapixels(state, double(image.getWidth()) * image.getHeight());
}
BENCHMARK(BM_CompressRLE)->ArgName("reference")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RunLengthDecodeOfCompressRLE(benchmark::State& state) {
    CRGBAImage& image = photoLikePicture();
    unsigned char* packed = nullptr;
    const TVN_DWORD bytes = image.compressRLE(&packed);
    for (auto _ : state) {
        CRGBAImage back(packed, bytes, image.getWidth(), image.getHeight());
        benchmark::DoNotOptimize(back.getBuffer());
    }
    CRGBAImage::freeRLEBuffer(packed);
    reportMegapixels(state, double(image.getWidth()) * image.getHeight());
}
BENCHMARK(BM_RunLengthDecodeOfCompressRLE)->Unit(benchmark::kMillisecond);

} // namespace

