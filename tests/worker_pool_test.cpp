// The worker pool and the bands over it: the count and when threads start,
// threads that cannot start, nested work, stops and the progress of a job on
// its calling thread; then every banded operation (resize with each filter,
// nearest-pixel resize, blur, every transparency mode) at 1, 2, 3 and 7
// workers and every processor level against the scalar reference on one
// thread, byte for byte over the whole image, on odd sizes, with the threshold
// lowered so that small pictures are cut into many bands; progress and aborts
// of a pooled setSize.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/testing/test_environment.h"
#include "pixel/bands.h"
#include "pixel/worker_pool.h"
#include "support/helpers.h"
#include "support/levels.h"

namespace {

using tvn::pixel::WorkerPool;
using tvntest::randomPixels;
using ThreadId = std::thread::id;

// Records who served each piece and what the caller heard (only the caller
// may hear). Each piece may wait until `together` pieces are under way at
// once, which proves that many threads serve the job.
struct Tally : tvn::pixel::BandWork {
    explicit Tally(unsigned n, unsigned together = 1) : by(n), count(n), together(together) {}
    std::vector<ThreadId> by;
    std::vector<int> count;
    std::vector<unsigned> reported;
    unsigned together, inside = 0, stopAt = ~0u;
    const ThreadId caller = std::this_thread::get_id();
    std::mutex lock;
    std::condition_variable met;
    std::function<void()> extra;

    void serve(tvn::pixel::BandCursor& cursor) override {
        unsigned piece;
        while (cursor.next(&piece)) {
            std::unique_lock<std::mutex> hold(lock);
            by[piece] = std::this_thread::get_id(), ++count[piece];
            if (++inside >= together) met.notify_all();
            met.wait(hold, [&] { return inside >= together; });
            hold.unlock();
            if (extra) extra();
        }
    }
    bool taken(unsigned n) override {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        reported.push_back(n);
        return n < stopAt;
    }
    unsigned threads() const { return static_cast<unsigned>(std::set<ThreadId>(by.begin(), by.end()).size()); }
};

std::atomic<int> gStartsLeft{0}, gStartCalls{0};
HANDLE TVN_CDECL startsSome(void (*routine)(void*), void* argument) {
    ++gStartCalls;
    return gStartsLeft-- > 0 ? tvn::plat::threadStart(routine, argument) : INVALID_HANDLE_VALUE;
}

// One worker starts no thread; more start with the first job that wants them,
// leave when the count drops and at shutdown. Threads that cannot start leave
// the work to the caller, and no new start is tried until the count is set.
TEST(WorkerPool, CountSetsTheThreadsThatStartOnFirstUse) {
    WorkerPool pool(tvn::plat::threadStart);
    EXPECT_EQ(pool.count(), std::min(tvn::plat::processorCount(), WorkerPool::kMaxCount));
    pool.setCount(1000);
    EXPECT_EQ(pool.count(), WorkerPool::kMaxCount);
    pool.setCount(1);
    Tally alone(40);
    EXPECT_TRUE(pool.run(alone, 40, 63));
    EXPECT_EQ(alone.by, std::vector<ThreadId>(40, std::this_thread::get_id()));
    EXPECT_EQ(pool.threads(), 0u);
    pool.setCount(4);
    EXPECT_EQ(pool.threads(), 0u);
    Tally four(4, 4);
    EXPECT_TRUE(pool.run(four, 4, 3));
    EXPECT_EQ(four.threads() * 10 + pool.threads(), 43u);
    pool.setCount(2);
    EXPECT_EQ(pool.threads(), 1u);
    pool.shutdown();
    EXPECT_TRUE(pool.run(alone, 40, 8));
    EXPECT_EQ(alone.threads() * 10 + pool.threads(), 10u) << "a shut pool runs everything on the caller";
    for (int starts : {0, 2}) {
        gStartsLeft = starts, gStartCalls = 0;
        WorkerPool failing(startsSome);
        failing.setCount(8);
        Tally t(30, static_cast<unsigned>(starts) + 1);
        for (int round = 0; round < 3; ++round) {
            if (round == 2) failing.setCount(8);
            EXPECT_TRUE(failing.run(t, 30, 7));
            EXPECT_EQ(gStartCalls.load(), starts + 1 + (round == 2));
            EXPECT_TRUE(round > 0 || t.threads() * 10 + failing.threads() == starts * 11u + 10);
        }
        EXPECT_EQ(t.count, std::vector<int>(30, 3));
    }
}

// Work that a piece hands to the pool again runs on that piece's thread when it
// is a pool thread; on the calling thread it may be helped. Neither waits.
TEST(WorkerPool, NestedWorkRunsWhereItIsMet) {
    WorkerPool pool(tvn::plat::threadStart);
    pool.setCount(2);
    std::atomic<int> nestedOnHelper{0};
    Tally outer(2, 2);
    const ThreadId caller = std::this_thread::get_id();
    outer.extra = [&] {
        Tally inner(16);
        EXPECT_TRUE(pool.run(inner, 16, 1));
        EXPECT_EQ(inner.count, std::vector<int>(16, 1));
        if (std::this_thread::get_id() == caller) return;
        EXPECT_EQ(inner.by, std::vector<ThreadId>(16, std::this_thread::get_id()));
        ++nestedOnHelper;
    };
    EXPECT_TRUE(pool.run(outer, 2, 1));
    EXPECT_EQ(nestedOnHelper.load(), 1);
}

// The caller hears of every piece taken, in order, and nobody else does; a
// refusal stops the job: nothing is asked after it, nothing served twice.
TEST(WorkerPool, TakenOnTheCallerInOrderAndAStopEndsTheJob) {
    WorkerPool pool(tvn::plat::threadStart);
    pool.setCount(3);
    for (unsigned stopAt : {~0u, 1u, 57u, 200u}) {
        Tally t(200);
        t.stopAt = stopAt;
        EXPECT_EQ(pool.run(t, 200, 2), stopAt > 200);
        EXPECT_TRUE(std::is_sorted(t.reported.begin(), t.reported.end()));
        EXPECT_GE(t.reported.back(), std::min(stopAt, 200u));
        EXPECT_EQ(std::count_if(t.reported.begin(), t.reported.end(), [&](unsigned n) { return n >= stopAt; }),
                  stopAt > 200 ? 0 : 1);
        EXPECT_TRUE(std::all_of(t.count.begin(), t.count.end(), [&](int c) { return c == 1 || (c == 0 && stopAt <= 200); }));
    }
}

struct Resize {
    TVN_DWORD w, h, nw, nh;
};
const Resize kOddSizes[] = {{37, 23, 101, 19}, {129, 67, 33, 45}, {250, 17, 61, 203},
                            {16, 16, 17, 15},  {1, 40, 7, 3},     {83, 131, 83, 131}};

// f on the scalar reference with 1 worker, then at every processor level with
// 1, 2, 3 and 7, every picture of more than one band sent to the pool.
template <class F>
void expectSameEverywhere(F f) {
    tvn::plat::testing::setHelperThreshold(0);
    tvnSetWorkerCount(1);
    const auto one = tvntest::onReference(f);
    tvntest::forEachLevel([&](tvn::pixel::cpu::Level) {
        for (unsigned n : {1u, 2u, 3u, 7u}) {
            tvnSetWorkerCount(n);
            EXPECT_TRUE(f() == one) << n << " workers";
        }
    });
    tvnSetWorkerCount(0);
    tvn::plat::testing::setHelperThreshold(-1);
}

TEST(Bands, EveryOperationIsBitIdenticalAtEveryWorkerCount) {
    tvntest::TempFile mask("tvn_pool_mask.tga");
    CRGBAImage(randomPixels(45, 38, 4).data(), 45, 38).saveTGA(mask.path());
    for (const Resize& s : kOddSizes) {
        const std::vector<TVN_DWORD> px = randomPixels(s.w, s.h, s.w + s.nh, true);
        using Step = std::function<void(CRGBAImage&)>;
        std::vector<Step> steps = {[&](CRGBAImage& i) { i.setSizeRough(s.nw, s.nh); }};
        for (int filter = 1; filter <= 6; ++filter)
            for (unsigned k : {0u, filter * 3u - 2})
                steps.push_back([&s, filter, k](CRGBAImage& i) {
                    unsigned kk = k;
                    if (k) i.blur(&kk);
                    i.setSize(s.nw + 2 * k, s.nh + 2 * k, filter, nullptr, nullptr);
                });
        for (unsigned char mode = 0; mode <= 5; ++mode)
            for (bool resized : {false, true})
                steps.push_back([&, mode, resized](CRGBAImage& i) {
                    if (resized) i.setSize(s.nw, s.nh, CRGBAImage::GaussianFilter, nullptr, nullptr);
                    // The ellipse first, so that mode 4 has something to undo.
                    IMG_TRANSP t = {TRANSP_ELL, 37, 10, 80, 3, 55, 12, 91, 0x00808080, 0, 150};
                    i.setTransparency(t, nullptr);
                    t.byMode = mode, t.bChromakeySoft = mode & 1;
                    i.setTransparency(t, mask.path());
                });
        for (const Step& step : steps)
            expectSameEverywhere([&] {
                CRGBAImage image(px.data(), s.w, s.h);
                step(image);
                return tvntest::snapshot(image);
            });
    }
}

struct Progress {
    std::vector<int> calls;
    int abortAt = -1;
    const ThreadId caller = std::this_thread::get_id();
    static int TVN_CDECL proc(unsigned char percent, void* user) {
        Progress* p = static_cast<Progress*>(user);
        EXPECT_EQ(std::this_thread::get_id(), p->caller);
        p->calls.push_back(percent);
        return static_cast<int>(p->calls.size()) - 1 != p->abortAt;
    }
};

// The host hears exactly what one thread would tell it, on its own thread; an
// abort anywhere, in either pass or at the very last call, leaves the image as
// it was and ends the calls.
TEST(Bands, ProgressOnTheCallingThreadAndAbortsAsOnOneThread) {
    const TVN_DWORD w = 301, h = 97, nw = 203, nh = 50;
    const std::vector<TVN_DWORD> px = randomPixels(w, h, 8);
    std::vector<int> expected;
    for (unsigned y = 0; y < h; ++y) expected.push_back(static_cast<int>(y / double(h) * 50.0));
    for (unsigned x = 0; x < nw; ++x) expected.push_back(static_cast<int>(x / double(nw) * 50.0 + 50.0));
    tvn::plat::testing::setHelperThreshold(0);
    for (unsigned n : {1u, 2u, 3u, 7u}) {
        tvnSetWorkerCount(n);
        tvntest::forEachLevel([&](tvn::pixel::cpu::Level) {
            CRGBAImage image(px.data(), w, h);
            unsigned k = 2; // resized to the size asked for less the border: nw x nh
            image.blur(&k);
            const tvntest::Snapshot before = tvntest::snapshot(image);
            for (int at : {0, 1, 16, 50, int(h) - 1, int(h), int(h) + 64, int(h + nw) - 1, -1}) {
                Progress p;
                p.abortAt = at;
                EXPECT_EQ(image.setSize(nw + 4, nh + 4, CRGBAImage::HammingFilter, Progress::proc, &p), at < 0 ? 1 : 0);
                EXPECT_EQ(p.calls, std::vector<int>(expected.begin(), at < 0 ? expected.end() : expected.begin() + at + 1));
                EXPECT_TRUE(at < 0 || tvntest::snapshot(image) == before) << n << " workers, abort at " << at;
            }
        });
    }
    tvnSetWorkerCount(0);
    tvn::plat::testing::setHelperThreshold(-1);
}

// Under the measured threshold no thread is asked for; a big picture gets one.
TEST(Bands, SmallPicturesStayOnTheCallingThread) {
    tvnSetWorkerCount(1);
    tvnSetWorkerCount(2);
    CRGBAImage small(randomPixels(64, 48, 1).data(), 64, 48), big(3000, 2000);
    unsigned k = 2;
    small.blur(&k);
    EXPECT_EQ(small.setSize(40, 30, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    EXPECT_EQ(tvn::pixel::processPool()->threads(), 0u);
    EXPECT_EQ(big.setSize(1500, 1000, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    EXPECT_EQ(tvn::pixel::processPool()->threads(), 1u);
    tvnSetWorkerCount(0);
}

} // namespace
