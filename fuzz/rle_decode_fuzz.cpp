// The run-length constructor on arbitrary packed data: the first four bytes
// choose the picture size, the rest is the stream.
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "tivorn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::initOnce();
    if (size < 4) return 0;
    TVN_DWORD width = (data[0] | (data[1] << 8)) % 300;
    TVN_DWORD height = (data[2] | (data[3] << 8)) % 300;
    try {
        CRGBAImage image(data + 4, static_cast<TVN_DWORD>(size - 4), width, height);
        const TVN_DWORD* p = image.getBuffer();
        volatile TVN_DWORD sink = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) sink = sink + p[i];
    } catch (char*) {
    }
    return 0;
}
