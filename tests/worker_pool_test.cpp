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
#include <thread>
#include <vector>

#include "pixel/bands.h"
#include "pixel/worker_pool.h"
#include "support/helpers.h"
#include "support/levels.h"

namespace {

using tvn::pixel::BandCursor;
using tvn::pixel::BandWork;
using tvn::pixel::WorkerPool;
using tvntest::randomPixels;

// Records who served each piece; pieces may wait for a number of pieces to be
// in progress at once (which proves that many threads serve the job).
struct Tally : BandWork {
    explicit Tally(unsigned n, unsigned together = 1) : by(n), count(n), together(together) {}
    std::vector<std::thread::id> by;
    std::vector<int> count;
    std::vector<unsigned> reported;
    std::vector<std::thread::id> reporters;
    unsigned stopAt = ~0u;
    unsigned together;
    unsigned inside = 0;
    std::mutex lock;
    std::condition_variable met;
    std::function<void(unsigned)> extra;

    void serve(BandCursor& cursor) override {
        unsigned piece;
        while (cursor.next(&piece)) {
            std::unique_lock<std::mutex> hold(lock);
            by[piece] = std::this_thread::get_id();
            ++count[piece];
            if (++inside >= together) met.notify_all();
            met.wait(hold, [&] { return inside >= together; });
            hold.unlock();
            if (extra) extra(piece);
        }
    }
    bool taken(unsigned n) override {
        reported.push_back(n);
        reporters.push_back(std::this_thread::get_id());
        return n < stopAt;
    }
    unsigned threadsSeen() const {
        std::vector<std::thread::id> ids(by);
        std::sort(ids.begin(), ids.end());
        return static_cast<unsigned>(std::unique(ids.begin(), ids.end()) - ids.begin());
    }
};

HANDLE TVN_CDECL neverStarts(void (*)(void*), void*) {
    return INVALID_HANDLE_VALUE;
}

std::atomic<int> gStartsLeft{0}, gStartCalls{0};
HANDLE TVN_CDECL startsTwice(void (*routine)(void*), void* argument) {
    ++gStartCalls;
    return gStartsLeft-- > 0 ? tvn::plat::threadStart(routine, argument) : INVALID_HANDLE_VALUE;
}

TEST(WorkerPool, CountSetsTheThreadsThatStartOnFirstUse) {
    WorkerPool pool(tvn::plat::threadStart);
    EXPECT_EQ(pool.count(), std::min(tvn::plat::processorCount(), WorkerPool::kMaxCount));
    pool.setCount(1000);
    EXPECT_EQ(pool.count(), WorkerPool::kMaxCount);
    pool.setCount(1);
    Tally alone(40);
    EXPECT_TRUE(pool.run(alone, 40, 63));
    EXPECT_EQ(pool.threads(), 0u) << "one worker: no thread at all";
    EXPECT_EQ(alone.count, std::vector<int>(40, 1));
    EXPECT_EQ(alone.threadsSeen(), 1u);
    EXPECT_EQ(alone.by[0], std::this_thread::get_id());

    pool.setCount(4);
    EXPECT_EQ(pool.threads(), 0u);
    Tally four(4, 4); // each piece waits until all four are under way
    EXPECT_TRUE(pool.run(four, 4, 3));
    EXPECT_EQ(four.threadsSeen(), 4u);
    EXPECT_EQ(pool.threads(), 3u);
    pool.setCount(2);
    EXPECT_EQ(pool.threads(), 1u);
    Tally few(6);
    EXPECT_TRUE(pool.run(few, 6, 0)); // no helpers asked for
    EXPECT_EQ(few.threadsSeen(), 1u);
    pool.shutdown();
    EXPECT_EQ(pool.threads(), 0u);
    Tally after(9);
    EXPECT_TRUE(pool.run(after, 9, 8));
    EXPECT_EQ(after.threadsSeen(), 1u) << "a shut pool runs everything on the caller";
}

TEST(WorkerPool, ThreadsThatCannotStartLeaveTheWorkToTheCaller) {
    {
        WorkerPool pool(neverStarts);
        pool.setCount(8);
        Tally t(30);
        EXPECT_TRUE(pool.run(t, 30, 7));
        EXPECT_EQ(t.count, std::vector<int>(30, 1));
        EXPECT_EQ(pool.threads(), 0u);
    }
    gStartsLeft = 2;
    gStartCalls = 0;
    WorkerPool pool(startsTwice);
    pool.setCount(8);
    Tally t(3, 3);
    EXPECT_TRUE(pool.run(t, 3, 7));
    EXPECT_EQ(pool.threads(), 2u);
    EXPECT_EQ(t.threadsSeen(), 3u);
    Tally again(5);
    EXPECT_TRUE(pool.run(again, 5, 7));
    EXPECT_EQ(gStartCalls.load(), 3) << "no new attempt until the count is set again";
    pool.setCount(8);
    EXPECT_TRUE(pool.run(again, 5, 7));
    EXPECT_EQ(gStartCalls.load(), 4);
}

// Work that a piece hands to the pool again runs on that piece's thread when
// it is a pool thread; on the calling thread it may be helped. Neither waits
// for the other.
TEST(WorkerPool, NestedWorkRunsWhereItIsMet) {
    WorkerPool pool(tvn::plat::threadStart);
    pool.setCount(2);
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> nestedOnHelper{0};
    Tally outer(2, 2);
    outer.extra = [&](unsigned) {
        Tally inner(16);
        EXPECT_TRUE(pool.run(inner, 16, 1));
        EXPECT_EQ(inner.count, std::vector<int>(16, 1));
        if (std::this_thread::get_id() != caller) {
            EXPECT_EQ(inner.threadsSeen(), 1u);
            EXPECT_EQ(inner.by[0], std::this_thread::get_id());
            ++nestedOnHelper;
        }
    };
    EXPECT_TRUE(pool.run(outer, 2, 1));
    EXPECT_EQ(nestedOnHelper.load(), 1);
}

// The caller hears of every piece taken, in order, and nobody else does; a
// refusal stops the job (no piece is served twice, none after the stop is
// taken).
TEST(WorkerPool, TakenOnTheCallerInOrderAndAStopEndsTheJob) {
    WorkerPool pool(tvn::plat::threadStart);
    pool.setCount(3);
    for (unsigned stopAt : {~0u, 1u, 57u, 199u, 200u}) {
        Tally t(200);
        t.stopAt = stopAt;
        EXPECT_EQ(pool.run(t, 200, 2), stopAt > 200);
        ASSERT_FALSE(t.reported.empty());
        EXPECT_TRUE(std::is_sorted(t.reported.begin(), t.reported.end()));
        for (std::thread::id id : t.reporters) EXPECT_EQ(id, std::this_thread::get_id());
        if (stopAt > 200) {
            EXPECT_EQ(t.reported.back(), 200u);
            EXPECT_EQ(t.count, std::vector<int>(200, 1));
        } else {
            EXPECT_GE(t.reported.back(), stopAt);
            for (std::size_t i = 0; i + 1 < t.reported.size(); ++i)
                EXPECT_LT(t.reported[i], stopAt) << "not asked again after a refusal";
            EXPECT_TRUE(std::all_of(t.count.begin(), t.count.end(), [](int c) { return c <= 1; }));
        }
    }
}

TEST(Bands, PiecesCoverTheLinesAndKeepTheMinimum) {
    struct Case {
        TVN_DWORD count, grain, minimum;
        std::vector<TVN_DWORD> ends;
    } cases[] = {{0, 16, 16, {}},          {5, 16, 16, {5}},          {16, 16, 16, {16}},
                 {17, 16, 16, {17}},       {40, 16, 16, {16, 40}},    {48, 16, 16, {16, 32, 48}},
                 {50, 16, 1, {16, 32, 48, 50}}, {79, 64, 16, {79}},   {80, 64, 16, {64, 80}}};
    for (const Case& c : cases) {
        const tvn::pixel::LineBands bands(c.count, c.grain, c.minimum);
        std::vector<TVN_DWORD> ends;
        for (unsigned p = 0; p < bands.pieces(); ++p) {
            EXPECT_EQ(bands.first(p), p ? bands.end(p - 1) : 0u);
            ends.push_back(bands.end(p));
        }
        EXPECT_EQ(ends, c.ends) << c.count << "/" << c.grain;
    }
    using tvn::pixel::BandCost;
    tvn::pixel::testing::setBandThreshold(-1);
    EXPECT_EQ(tvn::pixel::helpersFor(BandCost::Ellipse, 64 * 64), 0u) << "a small picture stays on its thread";
    EXPECT_GE(tvn::pixel::helpersFor(BandCost::Resample, 4000.0 * 3000 * 5), 1u);
    EXPECT_GE(tvn::pixel::helpersFor(BandCost::Blur, 4000.0 * 3000), 1u);
}

// Runs f on the scalar reference with 1 worker, then at every processor level
// with 1, 2, 3 and 7, every picture of more than one band sent to the pool, and
// expects the same result each time.
template <class F>
void expectSameEverywhere(F f) {
    tvn::pixel::testing::setBandThreshold(0);
    tvnSetWorkerCount(1);
    const auto one = tvntest::onReference(f);
    tvntest::forEachLevel([&](tvn::pixel::cpu::Level) {
        for (unsigned n : {1u, 2u, 3u, 7u}) {
            tvnSetWorkerCount(n);
            EXPECT_TRUE(f() == one) << n << " workers";
        }
    });
    tvnSetWorkerCount(0);
    tvn::pixel::testing::setBandThreshold(-1);
}

struct Resize {
    TVN_DWORD w, h, nw, nh;
};
const Resize kOddSizes[] = {{37, 23, 101, 19}, {129, 67, 33, 45}, {250, 17, 61, 203}, {16, 16, 17, 15},
                            {1, 40, 7, 3},     {83, 131, 83, 131}};

TEST(Bands, ResizesAreBitIdenticalAtEveryWorkerCount) {
    for (const Resize& s : kOddSizes)
        for (int filter = 1; filter <= 6; ++filter)
            for (unsigned k : {0u, 3u}) {
                const std::vector<TVN_DWORD> px = randomPixels(s.w, s.h, s.w + filter);
                expectSameEverywhere([&] {
                    CRGBAImage image(px.data(), s.w, s.h);
                    unsigned kk = k;
                    if (k) image.blur(&kk);
                    const int done = image.setSize(s.nw + 2 * k, s.nh + 2 * k, filter, nullptr, nullptr);
                    return std::make_pair(done, tvntest::snapshot(image));
                });
            }
}

TEST(Bands, RoughResizesAndBlursAreBitIdenticalAtEveryWorkerCount) {
    for (const Resize& s : kOddSizes) {
        const std::vector<TVN_DWORD> px = randomPixels(s.w, s.h, s.h);
        expectSameEverywhere([&] {
            CRGBAImage image(px.data(), s.w, s.h);
            image.setSizeRough(s.nw, s.nh);
            return tvntest::snapshot(image);
        });
        for (unsigned k : {1u, 2u, 5u, 20u, 127u, 200u})
            expectSameEverywhere([&] {
                unsigned kk = k;
                std::vector<TVN_DWORD> out(static_cast<std::size_t>(s.w + 2 * k) * (s.h + 2 * k), 7);
                tvn2PassBlur(const_cast<TVN_DWORD*>(px.data()), out.data(), s.w, s.h, &kk);
                return std::make_pair(kk, out);
            });
    }
}

// Each mode on a picture that was never resized (the current picture changes in
// place) and on a resized one (the untouched copy, then the bilinear rebuild).
TEST(Bands, TransparencyModesAreBitIdenticalAtEveryWorkerCount) {
    tvntest::TempFile mask("tvn_pool_mask.tga");
    CRGBAImage(randomPixels(45, 38, 4).data(), 45, 38).saveTGA(mask.path());
    for (const Resize& s : kOddSizes)
        for (unsigned char mode = 0; mode <= 5; ++mode) {
            IMG_TRANSP t = {};
            t.byMode = mode;
            t.byConstTransp = 37, t.byLGTop = 10, t.byLGLeft = 80, t.byLGRight = 3, t.byLGBottom = 55;
            t.byEllCenter = 12, t.byEllBorder = 91, t.clrChromakey = 0x00808080, t.bChromakeySoft = mode & 1;
            t.dwChromakeyDev = 150;
            const std::vector<TVN_DWORD> px = randomPixels(s.w, s.h, mode, true);
            for (bool resized : {false, true})
                expectSameEverywhere([&] {
                    CRGBAImage image(px.data(), s.w, s.h);
                    if (resized) image.setSize(s.nw, s.nh, CRGBAImage::GaussianFilter, nullptr, nullptr);
                    IMG_TRANSP first = t;
                    first.byMode = TRANSP_ELL; // so that mode 4 has something to undo
                    image.setTransparency(first, nullptr);
                    const int done = image.setTransparency(t, mask.path());
                    return std::make_pair(done, tvntest::snapshot(image));
                });
        }
}

struct Progress {
    std::vector<int> calls;
    std::vector<std::thread::id> threads;
    int abortAt = -1;
    static int TVN_CDECL proc(unsigned char percent, void* user) {
        Progress* p = static_cast<Progress*>(user);
        p->calls.push_back(percent);
        p->threads.push_back(std::this_thread::get_id());
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
    tvn::pixel::testing::setBandThreshold(0);
    for (unsigned n : {1u, 2u, 3u, 7u}) {
        tvnSetWorkerCount(n);
        tvntest::forEachLevel([&](tvn::pixel::cpu::Level) {
            CRGBAImage image(px.data(), w, h);
            unsigned k = 2; // resized to the size asked for less the border: nw x nh
            image.blur(&k);
            const tvntest::Snapshot before = tvntest::snapshot(image);
            for (int at : {0, 1, 16, 50, int(h) - 1, int(h), int(h) + 63, int(h) + 64, int(h + nw) - 1}) {
                Progress p;
                p.abortAt = at;
                EXPECT_EQ(image.setSize(nw + 4, nh + 4, CRGBAImage::HammingFilter, Progress::proc, &p), 0);
                EXPECT_EQ(p.calls, std::vector<int>(expected.begin(), expected.begin() + at + 1)) << n << " " << at;
                EXPECT_TRUE(tvntest::snapshot(image) == before) << n << " workers, abort at " << at;
            }
            Progress all;
            EXPECT_EQ(image.setSize(nw + 4, nh + 4, CRGBAImage::HammingFilter, Progress::proc, &all), 1);
            EXPECT_EQ(all.calls, expected);
            EXPECT_EQ(std::count(all.threads.begin(), all.threads.end(), std::this_thread::get_id()),
                      static_cast<long>(expected.size()));
        });
    }
    tvnSetWorkerCount(0);
    tvn::pixel::testing::setBandThreshold(-1);
}

// Under the measured threshold no thread is asked for; a big picture gets one.
TEST(Bands, SmallPicturesStayOnTheCallingThread) {
    tvnSetWorkerCount(1);
    tvnSetWorkerCount(2);
    WorkerPool* pool = tvn::pixel::processPool();
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->threads(), 0u);
    CRGBAImage small(randomPixels(64, 48, 1).data(), 64, 48);
    unsigned k = 2;
    small.blur(&k);
    EXPECT_EQ(small.setSize(40, 30, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    EXPECT_EQ(pool->threads(), 0u);
    CRGBAImage big(3000, 2000);
    EXPECT_EQ(big.setSize(1500, 1000, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    EXPECT_EQ(pool->threads(), 1u);
    tvnSetWorkerCount(0);
}

} // namespace
