// GIF reading of a 2000x2000 256-colour picture, plain and interlaced, against
// giflib and stb_image when present. Every case ends with RGBA pixels.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench_util.h"
#include "image/image_access.h"
#include "platform/platform.h"
#include "platform/testing/test_environment.h"
#include "gif_encoder.h"
#include "tivorn.h"

#ifdef TIVORN_HAVE_GIF
#include <gif_lib.h>
#endif
#ifdef TIVORN_HAVE_STB
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_GIF
#include <stb/stb_image.h>
#endif

namespace {

namespace enc = gifenc;
const unsigned kSide = 2000;

// A dithered photo-like picture: smooth shapes, texture and noise over 256 colours.
const enc::Bytes& benchGif(bool interlaced) {
    static enc::Bytes files[2];
    enc::Bytes& file = files[interlaced];
    if (!file.empty()) return file;
    std::mt19937 rng(3);
    std::vector<std::uint16_t> rows(std::size_t(kSide) * kSide);
    for (unsigned y = 0; y < kSide; ++y)
        for (unsigned x = 0; x < kSide; ++x) {
            double v = 128 + 60 * std::sin(x / 90.0) * std::cos(y / 130.0) + 40 * std::sin((x + y) / 37.0);
            if ((x / 250 + y / 250) % 3 == 0) v = 40 + (x % 50); // flat panels and stripes
            int d = static_cast<int>(v) + static_cast<int>(rng() % 6);
            rows[std::size_t(y) * kSide + x] = static_cast<std::uint16_t>(d < 0 ? 0 : d > 255 ? 255 : d);
        }
    enc::Bytes table;
    for (int i = 0; i < 256; ++i) {
        table.push_back(static_cast<unsigned char>(i));
        table.push_back(static_cast<unsigned char>(255 - i / 2));
        table.push_back(static_cast<unsigned char>((i * 3) & 255));
    }
    file = enc::header(kSide, kSide, table);
    const auto sent = interlaced ? enc::interlaceRows(rows, kSide, kSide) : rows;
    enc::image(file, 0, 0, kSide, kSide, interlaced, enc::Bytes(), 8, enc::subBlocks(enc::lzwEncode(sent)));
    file.push_back(0x3B);
    return file;
}

void BM_GifRead_Tivorn(benchmark::State& state) {
    const enc::Bytes& gif = benchGif(state.range(0) != 0);
    const char name[] = "bench/picture.gif";
    tvn::plat::testing::memoryFileAdd(name, gif.data(), gif.size());
    for (auto _ : state) {
        CRGBAImage image;
        HANDLE file = tvn::plat::fileOpenRead(name);
        if (!tvn::ImageAccess::readGIF(image, file)) state.SkipWithError("read failed");
        tvn::plat::fileClose(file);
        benchmark::DoNotOptimize(image.getBuffer());
    }
    tvn::plat::testing::memoryFileRemove(name);
    reportMegapixels(state, double(kSide) * kSide);
}
BENCHMARK(BM_GifRead_Tivorn)->Arg(0)->Arg(1)->ArgName("interlaced")->Unit(benchmark::kMillisecond);

#ifdef TIVORN_HAVE_GIF
struct MemoryReader {
    const enc::Bytes* bytes;
    std::size_t pos;
};

int readFromMemory(GifFileType* gif, GifByteType* dst, int size) {
    MemoryReader* r = static_cast<MemoryReader*>(gif->UserData);
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), r->bytes->size() - r->pos);
    std::copy(r->bytes->begin() + static_cast<std::ptrdiff_t>(r->pos),
              r->bytes->begin() + static_cast<std::ptrdiff_t>(r->pos + n), dst);
    r->pos += n;
    return static_cast<int>(n);
}

void BM_GifRead_Giflib(benchmark::State& state) {
    const enc::Bytes& bytes = benchGif(state.range(0) != 0);
    for (auto _ : state) {
        MemoryReader reader{&bytes, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, readFromMemory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib failed");
            break;
        }
        // Indices to RGBA through the colour table, as the other readers give.
        const SavedImage& image = gif->SavedImages[0];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        const std::size_t count = std::size_t(gif->SWidth) * gif->SHeight;
        std::uint32_t* rgba = static_cast<std::uint32_t*>(std::malloc(count * 4));
        std::uint32_t lut[256];
        for (int i = 0; i < 256; ++i) {
            const GifColorType& c = map->Colors[i < map->ColorCount ? i : 0];
            lut[i] = 0xFF000000u | (std::uint32_t(c.Blue) << 16) | (std::uint32_t(c.Green) << 8) | c.Red;
        }
        for (std::size_t i = 0; i < count; ++i) rgba[i] = lut[image.RasterBits[i]];
        benchmark::DoNotOptimize(rgba);
        std::free(rgba);
        DGifCloseFile(gif, &error);
    }
    reportMegapixels(state, double(kSide) * kSide);
}
BENCHMARK(BM_GifRead_Giflib)->Arg(0)->Arg(1)->ArgName("interlaced")->Unit(benchmark::kMillisecond);
#endif

#ifdef TIVORN_HAVE_STB
void BM_GifRead_Stb(benchmark::State& state) {
    const enc::Bytes& bytes = benchGif(state.range(0) != 0);
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        unsigned char* rgba = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &n, 4);
        if (!rgba) state.SkipWithError("stb_image failed");
        benchmark::DoNotOptimize(rgba);
        stbi_image_free(rgba);
    }
    reportMegapixels(state, double(kSide) * kSide);
}
BENCHMARK(BM_GifRead_Stb)->Arg(0)->Arg(1)->ArgName("interlaced")->Unit(benchmark::kMillisecond);
#endif

} // namespace
