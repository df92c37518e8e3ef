// The cache of freed large blocks: which request a parked block serves, the
// bounds on what waits, and threads parking and taking at once (run under the
// thread and address sanitizers).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "pixel/block_cache.h"
#include "pixel/heap.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace blocks = tvn::pixel::blocks;
using tvn::pixel::heapAlloc;
using tvn::pixel::heapAllocZero;
using tvn::pixel::heapFree;

namespace {

const std::size_t MiB = std::size_t(1) << 20;

struct BlockCache : ::testing::Test {
    void SetUp() override { blocks::releaseAll(); }
    void TearDown() override { blocks::releaseAll(); }
};

TEST_F(BlockCache, AFreedPictureServesTheNextOfAboutItsSize) {
    void* a = heapAlloc(3 * MiB);
    std::memset(a, 0x5A, 3 * MiB);
    heapFree(a);
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_TRUE(__asan_address_is_poisoned(a)); // a use after heapFree is still caught
#endif
    EXPECT_EQ(blocks::take(8 * MiB), nullptr); // too small for it
    unsigned char* zeroed = static_cast<unsigned char*>(heapAllocZero(3 * MiB - 4096));
    EXPECT_EQ(static_cast<void*>(zeroed), a);
    EXPECT_TRUE(std::all_of(zeroed, zeroed + 3 * MiB - 4096, [](unsigned char c) { return c == 0; }));
    heapFree(zeroed);
    blocks::releaseAll();
    heapFree(heapAlloc(100)); // small blocks are never parked
    EXPECT_EQ(blocks::take(100), nullptr);
    void* big = heapAlloc(30 * MiB);
    heapFree(big);
    EXPECT_EQ(blocks::take(3 * MiB), nullptr); // would hold ten times what is asked for
    EXPECT_EQ(blocks::take(30 * MiB), big);
    std::free(big);
}

TEST_F(BlockCache, AtMostFourBlocksAndSixtyFourMegabytesWait) {
    std::vector<void*> made;
    for (int i = 0; i < 5; ++i) made.push_back(heapAlloc(3 * MiB));
    for (void* p : made) heapFree(p);
    // The oldest went back to the system; the newest is taken first.
    for (int i = 4; i >= 1; --i) {
        void* p = blocks::take(3 * MiB);
        EXPECT_EQ(p, made[i]);
        heapFree(p);
        EXPECT_EQ(blocks::take(3 * MiB), p);
        std::free(p);
    }
    void* big1 = heapAlloc(40 * MiB);
    void* big2 = heapAlloc(40 * MiB);
    void* huge = heapAlloc(80 * MiB);
    heapFree(big1);
    heapFree(big2); // 80 MiB would wait: the first makes room
    heapFree(huge); // never waits
    EXPECT_EQ(blocks::take(40 * MiB), big2);
    EXPECT_EQ(blocks::take(40 * MiB), nullptr);
    heapFree(big2);
}

// Threads allocate, fill, check and free pictures of a few sizes, so blocks go
// from one thread's free to another's allocation all the time. A block handed
// out twice shows as a race or as a foreign pattern.
TEST_F(BlockCache, ThreadsParkAndTakeAtOnce) {
    const std::size_t sizes[] = {2 * MiB + 512 * 1024, 3 * MiB, 3 * MiB + 600 * 1024, 5 * MiB, 600 * 1024};
    std::atomic<bool> stop{false};
    std::atomic<unsigned> faults{0}, rounds{0};
    auto work = [&](unsigned seed) {
        std::mt19937 random(seed);
        while (!stop.load(std::memory_order_relaxed)) {
            const std::size_t bytes = sizes[random() % 5];
            const bool zero = random() % 4 == 0;
            unsigned char* p = static_cast<unsigned char*>(zero ? heapAllocZero(bytes) : heapAlloc(bytes));
            if (!p) continue;
            const std::size_t step = 4093;
            for (std::size_t i = 0; i < bytes; i += step)
                if (zero && p[i] != 0) faults.fetch_add(1, std::memory_order_relaxed);
            for (std::size_t i = 0; i < bytes; i += step) p[i] = static_cast<unsigned char>(seed);
            std::this_thread::yield();
            for (std::size_t i = 0; i < bytes; i += step)
                if (p[i] != static_cast<unsigned char>(seed)) faults.fetch_add(1, std::memory_order_relaxed);
            heapFree(p);
            rounds.fetch_add(1, std::memory_order_relaxed);
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t <= 4; ++t) threads.emplace_back(work, t);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    stop = true;
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(faults.load(), 0u);
    EXPECT_GT(rounds.load(), 20u);
}

} // namespace
