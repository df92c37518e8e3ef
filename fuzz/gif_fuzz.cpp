// The GIF reader on arbitrary files, decoded twice: by the fast LZW loop and by
// the reference loop. Any difference in result or pixels is a finding.
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "image/image_access.h"
#include "pixel/cpu_features.h"
#include "pixel/heap.h"
#include "platform/platform.h"
#include "platform/testing/test_environment.h"
#include "tivorn.h"

namespace {
const char kName[] = "fuzz/reader.gif";

int readGif(CRGBAImage& image, bool reference) {
    tvn::plat::testing::setProcessorLevel((reference) ? 0 : 4);
    HANDLE file = tvn::plat::fileOpenRead(kName);
    int ok = tvn::ImageAccess::readGIF(image, file);
    tvn::plat::fileClose(file);
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    return ok;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::initOnce();
    // Small pictures only: large ones cost time and find nothing new.
    tvn::plat::testing::limitAllocations(1u << 20);
    tvn::plat::testing::memoryFileAdd(kName, data, size);
    CRGBAImage fast, reference;
    const int okFast = readGif(fast, false);
    const int okReference = readGif(reference, true);
    tvn::plat::testing::memoryFileRemove(kName);
    if (okFast != okReference) __builtin_trap();
    if (!okFast) return 0;
    if (fast.getWidth() != reference.getWidth() || fast.getHeight() != reference.getHeight()) __builtin_trap();
    const std::size_t bytes = static_cast<std::size_t>(fast.getWidth()) * fast.getHeight() * 4;
    if (bytes && std::memcmp(fast.getBuffer(), reference.getBuffer(), bytes) != 0) __builtin_trap();
    return 0;
}
