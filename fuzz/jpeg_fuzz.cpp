// The JPEG path on arbitrary files: the whole file through the platform picture
// decoder and the bitmap hand-over. A decoded picture must be opaque.
#include <cstdint>

#include "fuzz_support.h"
#include "image/image_access.h"
#include "pixel/heap.h"
#include "platform/platform.h"
#include "platform/testing/test_environment.h"
#include "tivorn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::initOnce();
    // Small pictures only: large ones cost time and find nothing new.
    tvn::plat::testing::limitAllocations(16u << 20);
    const char name[] = "fuzz/reader.jpg";
    tvn::plat::testing::memoryFileAdd(name, data, size);
    CRGBAImage image;
    HANDLE file = tvn::plat::fileOpenRead(name);
    const int ok = tvn::ImageAccess::readJPEG(image, file);
    tvn::plat::fileClose(file);
    tvn::plat::testing::memoryFileRemove(name);
    if (ok) {
        const TVN_DWORD* p = image.getBuffer();
        const std::size_t count = static_cast<std::size_t>(image.getWidth()) * image.getHeight();
        for (std::size_t i = 0; i < count; ++i)
            if ((p[i] >> 24) != 0xFF) __builtin_trap();
    }
    return 0;
}
