// The platform's file hook and large heap blocks: memory files shadow real ones
// only while hooked and registered (the product has no hook), and big blocks
// count, fail, zero and move like the others.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "pixel/heap.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/testing/test_environment.h"
#include "support/faults.h"
#include "support/helpers.h"

namespace plat = tvn::plat;

namespace {
std::string contents(const char* path) {
    plat::CPlatformFile file = plat::CPlatformFile::openRead(path);
    char text[8];
    TVN_DWORD got = 0;
    return file.isOpen() && plat::fileRead(file.handle(), text, sizeof text, &got) ? std::string(text, got) : "-";
}
} // namespace

TEST(Environment, MemoryFilesShadowOnlyWhileInstalledAndRegistered) {
    tvntest::TempFile real("platform_test_shadow.bin");
    real.write({'d', 'i', 's', 'k'});
    plat::testing::memoryFileAdd(real.path(), "memory", 6);
    EXPECT_EQ(contents(real.path()), "memory");
    plat::CPlatformFile file = plat::CPlatformFile::openRead(real.path());
    TVN_DWORD n = 0;
    EXPECT_FALSE(plat::fileWrite(file.handle(), "z", 1, &n) || plat::fileTruncate(file.handle()));
    const plat::Environment& kit = plat::env();
    plat::installEnvironment(nullptr); // the product's table
    EXPECT_EQ(contents(real.path()), "disk");
    plat::installEnvironment(&kit);
    EXPECT_EQ(contents(real.path()), "memory");
    plat::testing::memoryFileRemove(real.path());
    EXPECT_EQ(contents(real.path()), "disk");
}

// A host's file procs serve every file call; the system's procs serve the rest.
TEST(Environment, HostFileProcsServeEveryFileAndMayPassOn) {
    struct Host {
        TVN_FILE_PROCS system;
        std::string served;
        int opens = 0, closes = 0;
    } host;
    tvnGetSystemFileProcs(&host.system);
    TVN_FILE_PROCS procs = host.system;
    procs.user = &host;
    procs.open = [](const char* path, int access, void* user) -> void* {
        Host* h = static_cast<Host*>(user);
        ++h->opens;
        if (std::string(path) == "host:picture.tga") path = h->served.c_str(); // served under another name
        return h->system.open(path, access, h->system.user);
    };
    procs.close = [](void* file, void* user) {
        Host* h = static_cast<Host*>(user);
        ++h->closes;
        h->system.close(file, h->system.user);
    };
    const std::vector<TVN_DWORD> px = {tvnRGBA(1, 2, 3, 255), tvnRGBA(4, 5, 6, 7)};
    tvntest::TempFile saved("host-picture.tga");
    ASSERT_EQ(CRGBAImage(px.data(), 2, 1).saveTGA(saved.path()), 1);
    host.served = saved.path();
    tvnSetFileProcs(&procs);
    CRGBAImage image;
    const int loaded = image.load("host:picture.tga", 0);
    tvnSetFileProcs(nullptr);
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(tvntest::pixelsOf(image), px);
    EXPECT_EQ(host.opens, 1);
    EXPECT_EQ(host.closes, 1);
}

TEST(LargeBlocks, CountFailZeroAndMoveLikeSmallOnes) {
    for (std::size_t bytes : {plat::kHugePageBytes - 1, plat::kHugePageBytes, 3 * plat::kHugePageBytes + 5}) {
        tvntest::failAllocations(1);
        EXPECT_EQ(tvn::pixel::heapAllocZero(bytes), nullptr);
        tvntest::endFaults();
        unsigned char* p = static_cast<unsigned char*>(tvn::pixel::heapAllocZero(bytes));
        ASSERT_TRUE(p && p[0] == 0 && p[bytes - 1] == 0);
#if !defined(_WIN32)
        EXPECT_TRUE(bytes < plat::kHugePageBytes || reinterpret_cast<std::uintptr_t>(p) % plat::kHugePageBytes == 0);
#endif
        p[bytes - 1] = 7;
        p = static_cast<unsigned char*>(tvn::pixel::heapRealloc(p, bytes + plat::kHugePageBytes));
        ASSERT_TRUE(p && p[bytes - 1] == 7);
        tvn::pixel::heapFree(p);
    }
}
