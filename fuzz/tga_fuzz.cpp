// The TGA reader through load, on an in-memory file: first into an empty image,
// then into one that holds a picture (the backup and restore of a failed load).
#include <cstdint>

#include "fuzz_support.h"
#include "platform/platform.h"
#include "tivorn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::initOnce();
    const char* name = "fuzz/input.tga";
    tvn::plat::memoryFileAdd(name, data, size);
    CRGBAImage image;
    if (image.load(name, 0)) {
        // Every word of the picture must be there.
        volatile TVN_DWORD sink = 0;
        const TVN_DWORD* p = image.getBuffer();
        for (std::size_t i = 0; i < static_cast<std::size_t>(image.getWidth()) * image.getHeight(); ++i)
            sink = sink + p[i];
        image.load(name, 0);
    }
    tvn::plat::memoryFileRemove(name);
    return 0;
}
