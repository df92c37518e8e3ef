// Host threads resizing, blurring and keying their own pictures through the
// process's worker pool while another thread keeps changing the worker count,
// and a pool shut down while its jobs are in flight. Meant for the thread
// sanitizer: nothing may race, and every result must be the one thread's.
// TIVORN_STRESS_SECONDS sets how long the first runs (2 by default).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "pixel/bands.h"
#include "pixel/worker_pool.h"
#include "support/helpers.h"

namespace {

using tvntest::randomPixels;

int TVN_CDECL abortAtForty(unsigned char percent, void*) {
    return percent < 40;
}

// One operation on a fresh picture; its result is compared whole.
using Operation = std::function<tvntest::Snapshot()>;

std::vector<Operation> operations() {
    static const std::vector<TVN_DWORD> px = randomPixels(97, 61, 3, true);
    std::vector<Operation> ops;
    for (int filter = 1; filter <= 6; ++filter)
        ops.push_back([filter] {
            CRGBAImage image(px.data(), 97, 61);
            image.setSize(131 - filter, 37 + filter, filter, nullptr, nullptr);
            return tvntest::snapshot(image);
        });
    for (unsigned k : {1u, 4u})
        ops.push_back([k] {
            CRGBAImage image(px.data(), 97, 61);
            unsigned kk = k;
            image.blur(&kk);
            image.setSize(80, 90, CRGBAImage::BicubicFilter, nullptr, nullptr);
            return tvntest::snapshot(image);
        });
    for (unsigned char mode : {TRANSP_LG, TRANSP_ELL, TRANSP_CHROMAKEY})
        ops.push_back([mode] {
            CRGBAImage image(px.data(), 97, 61);
            image.setSizeRough(150, 40);
            IMG_TRANSP t = {};
            t.byMode = mode, t.byLGLeft = 90, t.byEllBorder = 100, t.dwChromakeyDev = 120, t.bChromakeySoft = 1;
            image.setTransparency(t, nullptr);
            return tvntest::snapshot(image);
        });
    ops.push_back([] { // aborted in its horizontal pass: nothing changes
        CRGBAImage image(px.data(), 97, 61);
        image.setSize(200, 20, CRGBAImage::GaussianFilter, abortAtForty, nullptr);
        return tvntest::snapshot(image);
    });
    return ops;
}

TEST(WorkerPoolStress, HostThreadsWhileTheCountChanges) {
    const std::vector<Operation> ops = operations();
    tvn::pixel::testing::setBandThreshold(0); // small pictures in many bands: more meetings per second
    tvnSetWorkerCount(1);
    std::vector<tvntest::Snapshot> expected;
    for (const Operation& op : ops) expected.push_back(op());

    const char* env = std::getenv("TIVORN_STRESS_SECONDS");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(env ? std::atoi(env) : 2);
    std::atomic<bool> stop{false};
    std::atomic<unsigned> runs{0}, wrong{0}, countChanges{0};
    auto host = [&](unsigned seed) {
        std::mt19937 random(seed);
        while (!stop) {
            const std::size_t i = random() % ops.size();
            if (!(ops[i]() == expected[i])) ++wrong;
            ++runs;
        }
    };
    std::vector<std::thread> hosts;
    for (unsigned seed = 1; seed <= 3; ++seed) hosts.emplace_back(host, seed);
    std::mt19937 random(9);
    while (std::chrono::steady_clock::now() < end) {
        tvnSetWorkerCount(random() % 8); // 0: the processors
        ++countChanges;
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 3));
    }
    stop = true;
    for (std::thread& t : hosts) t.join();
    tvnSetWorkerCount(0);
    tvn::pixel::testing::setBandThreshold(-1);
    EXPECT_EQ(wrong.load(), 0u) << "of " << runs.load() << " operations, " << countChanges.load() << " count changes";
    EXPECT_GT(runs.load(), 0u);
}

// Jobs that fill their own array, piece by piece; the pool is shut down under
// them. Every job ends complete: the callers finish what the threads left.
struct Fill : tvn::pixel::BandWork {
    std::vector<unsigned> cells;
    explicit Fill(unsigned pieces) : cells(pieces * 64, 0) {}
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
    auto host = [&] {
        while (!stop) {
            Fill fill(97);
            if (!pool.run(fill, 97, 3) || !fill.complete()) ++incomplete;
            ++jobs;
        }
    };
    std::vector<std::thread> hosts;
    for (int i = 0; i < 3; ++i) hosts.emplace_back(host);
    while (jobs < 30) std::this_thread::yield();
    pool.shutdown();
    EXPECT_EQ(pool.threads(), 0u);
    const unsigned atShutdown = jobs;
    while (jobs < atShutdown + 30) std::this_thread::yield();
    stop = true;
    for (std::thread& t : hosts) t.join();
    EXPECT_EQ(incomplete.load(), 0u) << "of " << jobs.load() << " jobs";
    EXPECT_EQ(pool.threads(), 0u);
}

} // namespace
