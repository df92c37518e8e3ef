// tivorn pack IN: the library's run-length packing, measured and checked.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "cli.h"

namespace cli {
namespace {

const char kHelp[] =
    "usage: tivorn pack IN\n"
    "\n"
    "Packs the picture of IN with the library's run-length code and reports the\n"
    "packed size against the raw size (4 bytes a pixel), the ratio and the time.\n"
    "It then decodes the stream with the run-length constructor and compares the\n"
    "result with the loaded picture; a difference gives exit status 1.\n";

// Decodes the stream and compares it word for word with the untouched picture.
bool roundTrip(const unsigned char* packed, TVN_DWORD length, CRGBAImage& original) {
    const TVN_DWORD width = original.getWidthOrig(), height = original.getHeightOrig();
    try {
        CRGBAImage decoded(packed, length, width, height);
        return decoded.getWidth() == width && decoded.getHeight() == height &&
               std::memcmp(decoded.getBuffer(), original.getBuffer(),
                           static_cast<std::size_t>(width) * height * sizeof(TVN_DWORD)) == 0;
    } catch (const char*) {
        return false; // the constructor rejects a corrupt stream by throwing
    }
}

} // namespace

int cmdPack(const Args& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        error(args.empty() ? "pack needs IN (see tivorn pack --help)"
                           : "pack takes one IN and no options, got '" + args.back() + "'");
        return kUsage;
    }
    const std::string& path = args[0];
    CRGBAImage image;
    if (!loadPicture(image, path))
        return kFailed;
    // A freshly loaded picture is its own untouched copy, which is what gets packed.
    unsigned char* packed = nullptr;
    const auto start = std::chrono::steady_clock::now();
    const TVN_DWORD length = image.compressRLE(&packed);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!length) {
        error(path + ": packing failed (not enough memory?)");
        return kFailed;
    }
    const double raw = 4.0 * image.getWidthOrig() * image.getHeightOrig();
    const bool same = roundTrip(packed, length, image);
    CRGBAImage::freeRLEBuffer(packed);
    std::printf("file:       %s (%lux%lu)\n", path.c_str(), static_cast<unsigned long>(image.getWidthOrig()),
                static_cast<unsigned long>(image.getHeightOrig()));
    std::printf("raw:        %.0f bytes\n", raw);
    std::printf("packed:     %lu bytes (%.2f %% of raw, %.2f:1)\n", static_cast<unsigned long>(length),
                100.0 * length / raw, raw / length);
    std::printf("time:       %s\n", formatMs(ms).c_str());
    std::printf("round trip: %s\n", same ? "ok" : "MISMATCH");
    std::fflush(stdout);
    if (!same) {
        error(path + ": the decoded stream differs from the picture");
        return kFailed;
    }
    return kOk;
}

} // namespace cli
