// The platform's file hook and large heap blocks: what tests rely on (memory files
// shadow real ones while registered) and what the product relies on (no hook,
// system files only; big blocks that still count, fail and copy like the others).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "pixel/heap.h"
#include "platform/file_hook.h"
#include "platform/platform.h"
#include "platform/testing/memory_files.h"
#include "support/helpers.h"

namespace plat = tvn::plat;

namespace {
std::string firstBytes(const char* path) {
    plat::CPlatformFile file = plat::CPlatformFile::openRead(path);
    char text[8] = {0};
    TVN_DWORD got = 0;
    if (!file.isOpen() || !plat::fileRead(file.handle(), text, sizeof text - 1, &got)) return "<closed>";
    return std::string(text, got);
}
} // namespace

TEST(FileHook, MemoryFileShadowsTheRealOneOnlyWhileHookedAndRegistered) {
    tvntest::TempFile real("platform_test_shadow.bin");
    real.write({'d', 'i', 's', 'k'});
    plat::memoryFileAdd(real.path(), "memory", 6);
    EXPECT_EQ(firstBytes(real.path()), "memory");

    plat::testing::setFileHook(nullptr); // the product: system files only
    EXPECT_EQ(firstBytes(real.path()), "disk");
    plat::memoryFileAdd("mem/platform_test/only", "x", 1);
    EXPECT_EQ(firstBytes(real.path()), "memory");
    plat::memoryFileRemove(real.path());
    EXPECT_EQ(firstBytes(real.path()), "disk");
    EXPECT_TRUE(plat::pathExists("mem/platform_test/only"));
    plat::memoryFileRemove("mem/platform_test/only");
    EXPECT_FALSE(plat::pathExists("mem/platform_test/only"));
}

TEST(FileHook, HookHandlesReadAndSeekButRefuseWrites) {
    plat::memoryFileAdd("mem/platform_test/ro", "abcdef", 6);
    plat::CPlatformFile file = plat::CPlatformFile::openRead("mem/platform_test/ro");
    ASSERT_TRUE(file.isOpen());
    TVN_DWORD n = 0;
    char c = 0;
    EXPECT_EQ(plat::fileSize(file.handle()), 6u);
    EXPECT_TRUE(plat::fileSeek(file.handle(), -2, plat::SeekEnd, &n) && n == 4);
    EXPECT_TRUE(plat::fileRead(file.handle(), &c, 1, &n) && n == 1 && c == 'e');
    EXPECT_FALSE(plat::fileWrite(file.handle(), "z", 1, &n));
    EXPECT_FALSE(plat::fileTruncate(file.handle()));
    FILETIME time;
    EXPECT_FALSE(plat::fileLastWriteTime(file.handle(), &time));
    plat::CPlatformFile moved(std::move(file));
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(moved.isOpen());
    plat::memoryFileRemove("mem/platform_test/ro");
}

TEST(LargeBlocks, CountFailZeroAndCopyLikeSmallOnes) {
    const std::size_t sizes[] = {plat::kHugePageBytes - 1, plat::kHugePageBytes, 3 * plat::kHugePageBytes + 5};
    for (std::size_t bytes : sizes) {
        tvn::testing::failAllocation(1);
        EXPECT_EQ(tvn::heapAllocZero(bytes), nullptr) << bytes;
        tvn::testing::failAllocation(0);
        unsigned char* p = static_cast<unsigned char*>(tvn::heapAllocZero(bytes));
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p[0] == 0 && p[bytes / 2] == 0 && p[bytes - 1] == 0);
#if !defined(_WIN32)
        if (bytes >= plat::kHugePageBytes) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % plat::kHugePageBytes, 0u);
        }
#endif
        p[bytes - 1] = 7;
        p = static_cast<unsigned char*>(tvn::heapRealloc(p, bytes + plat::kHugePageBytes));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p[bytes - 1], 7);
        tvn::heapFree(p);
    }
    tvn::testing::setAllocationLimit(plat::kHugePageBytes);
    EXPECT_EQ(tvn::heapAlloc(plat::kHugePageBytes + 1), nullptr);
    tvn::testing::setAllocationLimit(0xFFFFFFFFu);
}
