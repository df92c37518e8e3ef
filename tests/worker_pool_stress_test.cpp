// Host threads resizing, blurring and keying their own pictures through the
// process's worker pool while another thread keeps changing the worker count,
// and a pool shut down while its jobs are in flight. Meant for the thread
// sanitizer: nothing may race, and every result must be the one thread's.
// TIVORN_STRESS_SECONDS sets how long the first runs (2 by default).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "platform/testing/test_environment.h"
#include "pixel/bands.h"
#include "pixel/worker_pool.h"
#include "support/helpers.h"

namespace {

int TVN_CDECL abortAtForty(unsigned char percent, void*) {
    return percent < 40;
}

// Operation i on a fresh picture: a resize with filter 1 + i % 6, after a blur
// for some, then a transparency mode for some; every seventh is aborted in its
// horizontal pass (nothing may change).
tvntest::Snapshot operation(unsigned i) {
    static const std::vector<TVN_DWORD> px = tvntest::randomPixels(97, 61, 3, true);
    CRGBAImage image(px.data(), 97, 61);
    unsigned k = i % 3;
    if (k) image.blur(&k);
    image.setSize(131 - i, 37 + i, 1 + i % 6, i % 7 == 6 ? abortAtForty : nullptr, nullptr);
    const unsigned char mode = static_cast<unsigned char>(i % 4 == 3 ? 5 : i % 4); // 5: chromakey
    if (i % 2) image.setTransparency(IMG_TRANSP{mode, 0, 0, 90, 0, 0, 0, 100, 0, 1, 120}, nullptr);
    return tvntest::snapshot(image);
}

TEST(WorkerPoolStress, HostThreadsWhileTheCountChanges) {
    const unsigned kOperations = 14;
    tvn::plat::testing::setHelperThreshold(0); // small pictures in many bands: more meetings per second
    tvnSetWorkerCount(1);
    std::vector<tvntest::Snapshot> expected;
    for (unsigned i = 0; i < kOperations; ++i) expected.push_back(operation(i));

    const char* env = std::getenv("TIVORN_STRESS_SECONDS");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(env ? std::atoi(env) : 2);
    std::atomic<bool> stop{false};
    std::atomic<unsigned> runs{0}, wrong{0};
    std::vector<std::thread> hosts;
    for (unsigned seed = 1; seed <= 3; ++seed)
        hosts.emplace_back([&, seed] {
            std::mt19937 random(seed);
            for (; !stop; ++runs) {
                const unsigned i = random() % kOperations;
                if (!(operation(i) == expected[i])) ++wrong;
            }
        });
    std::mt19937 random(9);
    while (std::chrono::steady_clock::now() < end) {
        tvnSetWorkerCount(random() % 8); // 0: the processors
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 3));
    }
    stop = true;
    for (std::thread& t : hosts) t.join();
    tvnSetWorkerCount(0);
    tvn::plat::testing::setHelperThreshold(-1);
    EXPECT_EQ(wrong.load(), 0u) << "of " << runs.load() << " operations";
    EXPECT_GT(runs.load(), 0u);
}

// Jobs that fill their own array piece by piece; the pool is shut down under
// them. Every job ends complete: the callers finish what the threads left.
struct Fill : tvn::pixel::BandWork {
    std::vector<unsigned> cells = std::vector<unsigned>(97 * 64, 0);
    void serve(tvn::pixel::BandCursor& cursor) override {
        unsigned piece;
        while (cursor.next(&piece))
            for (unsigned i = piece * 64; i < piece * 64 + 64; ++i) cells[i] += i * 2654435761u;
    }
    bool complete() const {
        for (unsigned i = 0; i < cells.size(); ++i)
            if (cells[i] != i * 2654435761u) return false;
        return true;
    }
};

TEST(WorkerPoolStress, ShutdownWithJobsInFlight) {
    tvn::pixel::WorkerPool pool(tvn::plat::threadStart);
    pool.setCount(4);
    std::atomic<bool> stop{false};
    std::atomic<unsigned> jobs{0}, incomplete{0};
    std::vector<std::thread> hosts;
    for (int i = 0; i < 3; ++i)
        hosts.emplace_back([&] {
            for (; !stop; ++jobs) {
                Fill fill;
                if (!pool.run(fill, 97, 3) || !fill.complete()) ++incomplete;
            }
        });
    while (jobs < 30) std::this_thread::yield();
    pool.shutdown();
    EXPECT_EQ(pool.threads(), 0u);
    const unsigned atShutdown = jobs;
    while (jobs < atShutdown + 30) std::this_thread::yield();
    stop = true;
    for (std::thread& t : hosts) t.join();
    EXPECT_EQ(incomplete.load(), 0u) << "of " << jobs.load() << " jobs";
}

} // namespace
