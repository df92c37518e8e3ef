// The cache of freed large blocks: which request a parked block serves, the
// bounds on what waits, and threads parking and taking at once (run under the
// thread and address sanitizers).
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "pixel/block_cache.h"
#include "pixel/heap.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace tvn::pixel {
namespace {

const std::size_t MiB = std::size_t(1) << 20;

TEST(BlockCache, ServesTheNextPictureOfAboutItsSizeWithinItsBounds) {
    blocks::releaseAll();
    void* a = heapAlloc(3 * MiB);
    heapFree(a);
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_TRUE(__asan_address_is_poisoned(a)); // a use after heapFree is still caught
#endif
    EXPECT_EQ(blocks::take(8 * MiB), nullptr); // too small for it
    unsigned char* zeroed = static_cast<unsigned char*>(heapAllocZero(3 * MiB - 4096));
    ASSERT_EQ(static_cast<void*>(zeroed), a);
    EXPECT_EQ(zeroed[0] | zeroed[3 * MiB - 4097], 0);
    std::free(zeroed);

    // At most kMaxBlocks wait, and at most kMaxBytes in all: the oldest goes back
    // first, the newest is taken first, a block above kMaxBytes never waits.
    std::vector<void*> made;
    for (std::size_t i = 0; i <= blocks::kMaxBlocks; ++i) made.push_back(heapAlloc(3 * MiB));
    made.push_back(heapAlloc(40 * MiB));
    made.push_back(heapAlloc(blocks::kMaxBytes + 16 * MiB));
    for (void* p : made) heapFree(p);
    const std::size_t big = made.size() - 1, forty = big - 1;
    EXPECT_EQ(blocks::take(blocks::kMaxBytes + 16 * MiB), nullptr);
    for (std::size_t i = forty - 1; i >= 2; --i) EXPECT_EQ(blocks::take(3 * MiB), made[i]) << i;
    EXPECT_EQ(blocks::take(3 * MiB), nullptr); // the 40 MiB one would hold thirteen times what is asked for
    EXPECT_EQ(blocks::take(40 * MiB), made[forty]);
    for (std::size_t i = 2; i <= forty; ++i) std::free(made[i]);
}

// Threads allocate, fill, check and free pictures of a few sizes, so blocks go
// from one thread's free to another's allocation all the time. A block handed
// out twice shows as a race or as a foreign byte.
TEST(BlockCache, ThreadsParkAndTakeAtOnce) {
    const std::size_t sizes[] = {2 * MiB + 512 * 1024, 3 * MiB, 3 * MiB + 600 * 1024, 5 * MiB};
    std::atomic<unsigned> faults{0};
    auto work = [&](unsigned char mark) {
        std::mt19937 random(mark);
        for (int round = 0; round < 200; ++round) {
            const std::size_t bytes = sizes[random() % 4];
            unsigned char* p = static_cast<unsigned char*>(heapAlloc(bytes));
            for (std::size_t i = 0; i < bytes; i += 4093) p[i] = mark;
            std::this_thread::yield();
            for (std::size_t i = 0; i < bytes; i += 4093) faults += p[i] != mark; // another thread's block
            heapFree(p);
        }
    };
    std::thread threads[] = {std::thread(work, 1), std::thread(work, 2), std::thread(work, 3), std::thread(work, 4)};
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(faults.load(), 0u);
    blocks::releaseAll();
}

} // namespace
} // namespace tvn::pixel
