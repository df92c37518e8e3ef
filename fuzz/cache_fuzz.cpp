// Cache files opened read-only from the fuzz bytes: every entry listed, every
// frame's size and pixels asked for (pixels only for frames of a modest size).
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "platform/testing/test_environment.h"
#include "tivorn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::initOnce();
    const char* name = "fuzz/input.kac";
    tvn::plat::testing::memoryFileAdd(name, data, size);
    {
        CKACReaderWriter rw;
        const TVN_DWORD h = rw.openFile(name, 0);
        const int entries = rw.getNumCacheEntries(h);
        for (int e = 0; e < entries; ++e) {
            KAC_ENTRY_INFO info;
            if (!rw.getCacheEntryInfo(h, e, &info)) __builtin_trap();
            for (TVN_DWORD k = 0; k < info.nNumFrames; ++k) {
                if (!rw.getFrameName(h, e, k)) __builtin_trap();
                TVN_DWORD w = 0, ht = 0;
                if (!rw.getFrameSize(h, e, k, &w, &ht) || static_cast<std::uint64_t>(w) * ht > (1u << 20)) continue;
                std::vector<TVN_DWORD> pixels(static_cast<std::size_t>(w) * ht);
                rw.getFrameData(h, e, k, pixels.data());
            }
        }
    }
    tvn::plat::testing::memoryFileRemove(name);
    return 0;
}
