#include "fuzz_support.h"

#include <cstdlib>
#include <string>

#include "pixel/cpu_features.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "platform/platform.h"
#include "platform/testing/test_environment.h"
#include "tivorn.h"

namespace tvnfuzz {

namespace {
void TVN_CDECL quiet(const char*, const char*, void*) {}
} // namespace

void initOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    tvn::pixel::moduleAttach(tvn::plat::moduleInstance(), tvn::pixel::kAttachProcess);
    tvnSetMessageProc(&quiet, nullptr);
    tvn::plat::testing::limitAllocations(64u << 20);
    // The suite's second pass on the reference loops replays the seeds there too.
    const char* forced = std::getenv("TIVORN_FORCE_REFERENCE");
    if (forced && *forced && *forced != '0') tvn::plat::testing::setProcessorLevel((true) ? 0 : 4);
}

void loadAs(const char* extension, const std::uint8_t* data, std::size_t size) {
    initOnce();
    const std::string name = std::string("fuzz/input.") + extension;
    tvn::plat::testing::memoryFileAdd(name.c_str(), data, size);
    CRGBAImage image;
    if (image.load(name.c_str(), 0)) {
        volatile TVN_DWORD sink = 0;
        const TVN_DWORD* p = image.getBuffer();
        for (std::size_t i = 0; i < static_cast<std::size_t>(image.getWidth()) * image.getHeight(); ++i)
            sink = sink + p[i];
        image.load(name.c_str(), 0);
    }
    tvn::plat::testing::memoryFileRemove(name.c_str());
}

} // namespace tvnfuzz
