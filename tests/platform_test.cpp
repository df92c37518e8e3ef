// The platform's file hook and large heap blocks: memory files shadow real ones
// only while hooked and registered (the product has no hook), and big blocks
// count, fail, zero and move like the others.
#include <gtest/gtest.h>

#include <cstdint>

#include "pixel/heap.h"
#include "platform/file_hook.h"
#include "platform/memory.h"
#include "platform/testing/memory_files.h"
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

TEST(FileHook, MemoryFilesShadowOnlyWhileHookedAndRegistered) {
    tvntest::TempFile real("platform_test_shadow.bin");
    real.write({'d', 'i', 's', 'k'});
    plat::memoryFileAdd(real.path(), "memory", 6);
    EXPECT_EQ(contents(real.path()), "memory");
    plat::CPlatformFile file = plat::CPlatformFile::openRead(real.path());
    TVN_DWORD n = 0;
    EXPECT_FALSE(plat::fileWrite(file.handle(), "z", 1, &n) || plat::fileTruncate(file.handle()));
    plat::testing::setFileHook(nullptr); // as in the product
    EXPECT_EQ(contents(real.path()), "disk");
    plat::memoryFileAdd("mem/platform_test", "", 0); // hooks again
    EXPECT_EQ(contents(real.path()), "memory");
    plat::memoryFileRemove(real.path());
    EXPECT_EQ(contents(real.path()), "disk");
    plat::memoryFileRemove("mem/platform_test");
}

TEST(LargeBlocks, CountFailZeroAndMoveLikeSmallOnes) {
    for (std::size_t bytes : {plat::kHugePageBytes - 1, plat::kHugePageBytes, 3 * plat::kHugePageBytes + 5}) {
        tvn::pixel::testing::failAllocation(1);
        EXPECT_EQ(tvn::pixel::heapAllocZero(bytes), nullptr);
        tvn::pixel::testing::failAllocation(0);
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
