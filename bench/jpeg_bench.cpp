// JPEG reading of a 4000x3000 photo-like picture: the library's path (the whole
// file read, the platform decoder writing the picture's words) against TurboJPEG's
// own decode to RGBA, both in one run.
#include <benchmark/benchmark.h>

#ifdef TIVORN_HAVE_TURBOJPEG
#include <turbojpeg.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench_util.h"
#include "image/image_access.h"
#include "platform/platform.h"
#include "platform/testing/test_environment.h"
#include "tivorn.h"

namespace {

const int kWidth = 4000, kHeight = 3000;

const std::vector<unsigned char>& benchJpeg() {
    static std::vector<unsigned char> file;
    if (!file.empty()) return file;
    std::mt19937 rng(5);
    std::vector<unsigned char> rgb(std::size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            unsigned char* p = &rgb[(std::size_t(y) * kWidth + x) * 3];
            double s = std::sin(x / 170.0) * std::cos(y / 230.0);
            p[0] = static_cast<unsigned char>(120 + 100 * s + rng() % 12);
            p[1] = static_cast<unsigned char>(90 + 60 * std::sin((x + 2 * y) / 97.0) + rng() % 12);
            p[2] = static_cast<unsigned char>(((x / 300 + y / 300) % 2) ? 200 - rng() % 20 : 50 + rng() % 20);
        }
    tjhandle encoder = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(encoder, rgb.data(), kWidth, 0, kHeight, TJPF_RGB, &out, &size, TJSAMP_420, 90, 0);
    file.assign(out, out + size);
    tjFree(out);
    tjDestroy(encoder);
    return file;
}

void BM_JpegRead_Tivorn(benchmark::State& state) {
    const std::vector<unsigned char>& jpeg = benchJpeg();
    const char name[] = "bench/picture.jpg";
    tvn::plat::testing::memoryFileAdd(name, jpeg.data(), jpeg.size());
    for (auto _ : state) {
        CRGBAImage image;
        HANDLE file = tvn::plat::fileOpenRead(name);
        if (!tvn::ImageAccess::readJPEG(image, file)) state.SkipWithError("read failed");
        tvn::plat::fileClose(file);
        benchmark::DoNotOptimize(image.getBuffer());
    }
    tvn::plat::testing::memoryFileRemove(name);
    reportMegapixels(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_JpegRead_Tivorn)->Unit(benchmark::kMillisecond);

void decodeWith(benchmark::State& state, TJPF format, int flags, int bytesPerPixel) {
    const std::vector<unsigned char>& jpeg = benchJpeg();
    tjhandle decoder = tjInitDecompress();
    for (auto _ : state) {
        const int pitch = (kWidth * bytesPerPixel + 3) & ~3;
        unsigned char* out = static_cast<unsigned char*>(std::malloc(std::size_t(pitch) * kHeight));
        if (tjDecompress2(decoder, const_cast<unsigned char*>(jpeg.data()), jpeg.size(), out, kWidth, pitch, kHeight,
                          format, flags) != 0)
            state.SkipWithError("TurboJPEG failed");
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    tjDestroy(decoder);
    reportMegapixels(state, double(kWidth) * kHeight);
}

void BM_JpegDecode_TurboJpegRGBA(benchmark::State& state) {
    decodeWith(state, TJPF_RGBA, 0, 4);
}
BENCHMARK(BM_JpegDecode_TurboJpegRGBA)->Unit(benchmark::kMillisecond);

} // namespace
#endif
