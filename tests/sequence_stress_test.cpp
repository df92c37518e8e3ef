// Host threads playing, narrowing, widening, copying and destroying image sets
// while the preloader runs passes over them on the worker pool, which resizes
// share at the same time, its size changing under them. Meant for the thread and address
// sanitizers: it checks that nothing races, leaks or is used after it is freed.
// TIVORN_STRESS_SECONDS sets how long it runs (2 by default).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "tivorn.h"

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> gPasses{0};

void TVN_CDECL countPass(void*) {
    gPasses.fetch_add(1, std::memory_order_relaxed);
}

TEST(SequenceStress, HostThreadsAgainstThePreloader) {
    const fs::path dir = fs::temp_directory_path() / "tvn_stress";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const int kFrames = 16;
    for (int i = 0; i < kFrames; ++i) {
        CRGBAImage image(48, 32);
        image.saveTGA((dir / ("s" + std::to_string(100 + i) + ".tga")).string().c_str());
    }
    const std::string first = (dir / "s100.tga").string();
    // Removed after the sets below are gone: a pass still reading a frame keeps
    // its file open, and Windows will not delete an open file.
    struct RemovedLast {
        fs::path dir;
        ~RemovedLast() { std::error_code ignored; fs::remove_all(dir, ignored); }
    } removedLast{dir};
    const char* env = std::getenv("TIVORN_STRESS_SECONDS");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(env ? std::atoi(env) : 2);
    auto running = [&] { return std::chrono::steady_clock::now() < end; };

    CRGBAImageSet shared(first.c_str());
    shared.setPreloadCallback(countPass, nullptr);
    std::atomic<unsigned long> pixelsSeen{0};

    // Each player owns a set and reads its current frame; all also poke the shared set.
    // (Videos are made and destroyed by one thread at a time: the players' sets here.)
    CRGBAImageSet owns[2] = {CRGBAImageSet(first.c_str()), CRGBAImageSet(first.c_str())};
    auto player = [&](unsigned seed) {
        std::mt19937 random(seed);
        CRGBAImageSet& own = owns[seed - 1];
        own.setPreloadCallback(countPass, nullptr);
        while (running()) {
            const unsigned index = random() % (kFrames + 2);
            if (CRGBAImage* frame = own.getFrame(index)) pixelsSeen += frame->getBuffer()[0] + frame->getWidth();
            switch (random() % 5) {
            case 0: own.keepReady(random() % 4); break;
            case 1: own.preloadAll(); break;
            case 2: own.preloadFrames(); break;
            case 3: shared.keepReady(random() % 3), shared.setMemoryBudget(random() % 3 * 48 * 32 * 4); break;
            default: shared.getFrame(random() % kFrames); break;
            }
        }
    };
    // One thread makes and destroys sets, some while their passes run.
    auto maker = [&] {
        std::mt19937 random(7);
        while (running()) {
            CRGBAImageSet made(first.c_str());
            made.setPreloadCallback(countPass, nullptr);
            CRGBAImageSet copy(shared);
            if (random() % 2) copy = made;
            made.getFrame(random() % kFrames);
            if (random() % 3 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    // One thread resizes pictures through the same pool, and sets its size.
    auto resizer = [&] {
        std::mt19937 random(11);
        CRGBAImage picture(613, 409);
        while (running()) {
            tvnSetWorkerCount(random() % 4);
            picture.setSize(200 + random() % 400, 150 + random() % 300, CRGBAImage::BicubicFilter, nullptr, nullptr);
        }
        tvnSetWorkerCount(0);
    };
    std::thread threads[] = {std::thread(player, 1u), std::thread(player, 2u), std::thread(maker),
                             std::thread(resizer)};
    for (auto& t : threads) t.join();
    EXPECT_GT(gPasses.load(), 0u);
    EXPECT_GT(pixelsSeen.load(), 0u);
}

} // namespace
