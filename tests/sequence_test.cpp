// Frame search on real folders, the set's window and slots, copies, the
// preloader's life and the order in which it serves its stack.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/testing/test_environment.h"
#include "sequence/frame_names.h"
#include "sequence/pass_plan.h"
#include "support/cache_builder.h"
#include "sequence/preloader.h"

namespace fs = std::filesystem;
using tvntest::FrameFiles;

namespace {

// A fresh folder under the temporary folder, removed with everything in it.
struct TempDir {
    fs::path path;
    explicit TempDir(const char* name) : path(fs::temp_directory_path() / name) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    void touch(const std::string& name) const { std::ofstream(path / name) << 'x'; }
};

std::vector<std::string> search(const std::string& given) {
    FRAME_NAME_LIST list;
    tvn::sequence::enumerateFrameFiles(given.c_str(), list);
    std::vector<std::string> names(list.begin(), list.end());
    tvn::sequence::freeFrameNames(list);
    return names;
}

TEST(FrameSearch, RunsFoundFromOneName) {
    TempDir dir("tvn_frames");
    fs::create_directories(dir.path / "take2");
    for (const char* f : {"walk0006.tga", "walk0007.tga", "walk0008.tga", "walk0009.tga", "walk0011.tga",
                          "img98.bmp", "img99.bmp", "img100.bmp", "take2/shot.bmp", "shot12b.bmp",
                          "shot13b.bmp", "frames.001", "frames.002", "0001.tga", "0002.tga",
                          "a12345b67.bmp", "a12345b68.bmp", "frame005", "frame006", "n2147483647.tga",
                          "n2147483648.tga", "u4294967295.tga", "u4294967296.tga", "m18446744073709551615.tga",
                          "m18446744073709551616.tga", "z99999999999999999999.tga", "z100000000000000000000.tga"})
        dir.touch(f);
    const struct {
        const char* given;
        size_t count;
        const char* last;
    } cases[] = {
        {"walk0007.tga", 3, "walk0009.tga"}, // from the given number; the gap at 10 ends it
        {"img98.bmp", 3, "img100.bmp"},      // the number outgrows its width
        {"take2/shot.bmp", 1, "shot.bmp"},   // digits only in a folder name
        {"shot12b.bmp", 1, "shot12b.bmp"},   // digits not at the end of the base
        {"frames.001", 1, "frames.001"},     // digits only in the extension
        {"0001.tga", 2, "0002.tga"},         // a base made of digits only
        {"a12345b67.bmp", 2, "a12345b68.bmp"},
        {"frame005", 2, "frame006"}, // no extension
        {"n2147483647.tga", 2, "n2147483648.tga"}, // numbers are exact past 2^31 and 2^32
        {"u4294967295.tga", 2, "u4294967296.tga"},
        {"m18446744073709551615.tga", 1, "m18446744073709551615.tga"}, // a run ends at 2^64 - 1
        {"z99999999999999999999.tga", 1, "z99999999999999999999.tga"}, // beyond 64 bits: not counted on
        {"walk0005.tga", 0, ""},     // the given file is missing
        {"shot.bmp", 0, ""},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> names = search(dir / c.given);
        ASSERT_EQ(names.size(), c.count) << c.given;
        if (!c.count) continue;
        EXPECT_EQ(names.front(), dir / c.given);
        EXPECT_EQ(fs::path(names.back()).filename(), fs::path(c.last).filename()) << c.given;
    }
    EXPECT_TRUE(search(std::string(300, 'a') + "1.tga").empty()); // too long for a name block
    EXPECT_TRUE(search(dir / (std::string(250 - (dir / "").size(), 'a') + "9.bmp")).empty());
}

void settle(CRGBAVideo& video) {
    CRGBAVideo::m_pVideoPreloader->waitForPasses(&video);
}

// Which frames are loaded, read by asking for each once the files are gone.
std::string loadedFrames(CRGBAImageSet& set, const FrameFiles& files) {
    files.removeAll();
    std::string loaded;
    for (unsigned i = 0; i < set.getNumFrames(); ++i) loaded += set.getFrame(i) ? 'L' : '.';
    settle(set);
    return loaded;
}

TEST(ImageSet, WindowOfADirectPass) {
    // From 2^31 on, keep counts as the negative number keep - 2^32 = -k: the window
    // runs from current + k to current - k, cut to the set, and the current frame stays.
    const struct {
        unsigned current, keep;
        const char* loaded;
    } cases[] = {{5, 1, "....LLL..."},          {0, 1, "LL........"},          {9, 2, ".......LLL"},
                 {3, 0, "...L......"},          {5, 0xFFFFFFFFu, ".....L...."}, {0, 0xFFFFFFFFu, "LLLLLLLLLL"},
                 {1, 0xFFFFFFFEu, ".L.LLLLLLL"}, {5, 0x80000000u, "LLLLLLLLLL"}, {5, 0x7FFFFFFFu, "LLLLLLLLLL"}};
    for (const auto& c : cases) {
        FrameFiles files("window", 10, 2, 2, 1);
        CRGBAImageSet set(files.name(0).c_str());
        ASSERT_EQ(set.getNumFrames(), 10u);
        settle(set);
        ASSERT_NE(set.getFrame(c.current), nullptr);
        settle(set);
        set.keepReady(c.keep);
        set.preloadFrames();
        EXPECT_EQ(loadedFrames(set, files), c.loaded) << c.current;
    }
}

TEST(ImageSet, EdgeCasesAndCopies) {
    FrameFiles files("copies", 3, 2, 2, 1);
    CRGBAImageSet none("no_such_frame0.tga");
    EXPECT_EQ(none.getNumFrames(), 0u);
    EXPECT_EQ(none.getFrame(0), nullptr);

    std::unique_ptr<CRGBAImageSet> set(new CRGBAImageSet(files.name(0).c_str()));
    EXPECT_EQ(set->getFrame(3), nullptr);
    settle(*set);
    files.removeAll();
    CRGBAImageSet copy(*set);
    CRGBAImageSet assigned;
    assigned = *set;
    settle(copy);
    settle(assigned);
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_NE(set->getFrame(i), nullptr);  // loaded before the files went
        EXPECT_EQ(copy.getFrame(i), nullptr); // copies own no images
        EXPECT_EQ(assigned.getFrame(i), nullptr);
    }
    settle(*set);
    set.reset(); // the copies keep names of their own
    FrameFiles again("copies", 3, 2, 2, 1);
    for (unsigned i = 0; i < 3; ++i) EXPECT_NE(copy.getFrame(i), nullptr);
    EXPECT_NE(assigned.getFrame(2), nullptr);
    settle(copy);
    settle(assigned);
}

// A host whose message proc redraws: while getFrame(1) loads a broken file, the
// box it raises asks for frame 1 again on the same thread (on the preloader's
// thread when the pass got there first). That call returns at once (a thread
// that waited for itself would hang until ctest's timeout).
TEST(ImageSet, ANestedGetFrameOfAFrameItsThreadLoadsReturnsAtOnce) {
    FrameFiles files("nested", 3, 4, 4, 5);
    {
        std::ofstream broken(files.name(1), std::ios::binary | std::ios::trunc);
        broken << "not a picture";
    }
    struct Host {
        std::atomic<CRGBAImageSet*> set{nullptr}; // the pass may report frame 1 before it is set
        std::atomic<int> nested{0}, nonNull{0};
    } host;
    tvnSetMessageProc([](const char*, const char*, void* user) {
        Host* h = static_cast<Host*>(user);
        CRGBAImageSet* set = h->set.load();
        if (!set) return;
        ++h->nested;
        if (set->getFrame(1)) ++h->nonNull;
    }, &host);
    {
        CRGBAImageSet set(files.name(0).c_str());
        host.set = &set;
        EXPECT_EQ(set.getFrame(1), nullptr);
        EXPECT_NE(set.getFrame(2), nullptr);
        settle(set);
        host.set = nullptr;
    }
    tvnSetMessageProc(nullptr, nullptr);
    EXPECT_GE(host.nested.load(), 1);
    EXPECT_EQ(host.nonNull.load(), 0);
}

std::mutex gMutex;
std::condition_variable gChanged;
std::vector<int> gServed;
unsigned long gCallbackThread;

void TVN_CDECL noteCallback(void* param) {
    std::lock_guard<std::mutex> hold(gMutex);
    gServed.push_back(*static_cast<int*>(param));
    gCallbackThread = tvn::plat::threadCurrentId();
    gChanged.notify_all();
}

TEST(ImageSet, CallbackOncePerPassOnTheWorker) {
    FrameFiles files("callback", 2, 2, 2, 1);
    CRGBAImageSet set(files.name(0).c_str());
    settle(set);
    int param = 42;
    gServed.clear();
    set.setPreloadCallback(noteCallback, &param);
    set.getFrame(1);
    settle(set);
    std::lock_guard<std::mutex> hold(gMutex);
    EXPECT_EQ(gServed, std::vector<int>{42});
    EXPECT_NE(gCallbackThread, tvn::plat::threadCurrentId());
}

// A host's own video that notes its passes; the one marked `gate` waits inside its pass.
struct Probe : CRGBAVideo {
    int id;
    bool gate = false, open = false, entered = false;
    explicit Probe(int i) : id(i) {}
    ~Probe() { stopPreloading(); }
    unsigned int getNumFrames() { return 0; }
    CRGBAImage* getFrame(unsigned int) { return nullptr; }
    void preloadFrames() {
        std::unique_lock<std::mutex> hold(gMutex);
        gServed.push_back(id);
        entered = true;
        gChanged.notify_all();
        gChanged.wait(hold, [this] { return !gate || open; });
    }
};

TEST(Preloader, OneWakeUpServesTheTopOfTheStack) {
    gServed.clear();
    Probe x(0), a(1), b(2), c(3);
    x.gate = true;
    CVideoPreloader* preloader = CRGBAVideo::m_pVideoPreloader;
    preloader->requestPreload(&x);
    std::unique_lock<std::mutex> hold(gMutex);
    gChanged.wait(hold, [&] { return x.entered; });
    for (Probe* p : {&a, &b, &c}) preloader->requestPreload(p);
    x.open = true;
    gChanged.notify_all();
    gChanged.wait(hold, [] { return gServed.size() == 2; });
    hold.unlock();
    preloader->requestPreload(&a); // served before the older A and B beneath it
    hold.lock();
    gChanged.wait(hold, [] { return gServed.size() == 3; });
    EXPECT_EQ(gServed, (std::vector<int>{0, 3, 1}));
}

TEST(Preloader, LivesFromTheFirstVideoToTheLast) {
    ASSERT_EQ(CRGBAVideo::m_pVideoPreloader, nullptr);
    {
        std::unique_ptr<CRGBAImageSet> first(new CRGBAImageSet), second(new CRGBAImageSet);
        CRGBAImageSet copy(*first);
        first.reset();
        second.reset();
        EXPECT_NE(CRGBAVideo::m_pVideoPreloader, nullptr); // the copy counts
    }
    EXPECT_EQ(CRGBAVideo::m_pVideoPreloader, nullptr);
    CRGBAImageSet third;
    EXPECT_NE(CRGBAVideo::m_pVideoPreloader, nullptr);
}

} // namespace

// The order a pass loads in and what a memory budget leaves out: the current
// frame, those ahead nearest first, then those behind; past the floor (the last
// keepReady), frames while they fit; the frames that do not fit go, farthest
// behind first, then farthest ahead.
TEST(ImageSet, PassOrderAndMemoryBudget) {
    using tvn::sequence::PassPlan;
    struct Case {
        unsigned current, behind, ahead;
        unsigned long long budget;
        unsigned floor;
        std::vector<unsigned> keep, unload;
    } cases[] = {
        {5, 9, 9, 0, 10, {5, 6, 7, 8, 9, 4, 3, 2, 1, 0}, {}},
        {5, 1, 2, 0, 10, {5, 6, 7, 4}, {0, 1, 2, 3, 8, 9}},
        {5, 9, 9, 3, 1, {5, 6, 7, 8, 9, 4}, {0, 1, 2, 3}},
        {5, 9, 9, 2, 0, {5, 6, 7}, {0, 1, 2, 3, 4, 9, 8}},
        {0, 9, 9, 1, 0, {0, 1}, {9, 8, 7, 6, 5, 4, 3, 2}},
    };
    for (const Case& c : cases) {
        PassPlan plan;
        tvn::sequence::planPass(tvn::sequence::PassRequest{10, c.current, c.behind, c.ahead, c.budget, c.floor},
                                [](unsigned) { return 1ull; }, [](unsigned) { return true; }, &plan);
        EXPECT_EQ(plan.keep, c.keep) << c.current << " " << c.budget;
        EXPECT_EQ(plan.unload, c.unload) << c.current << " " << c.budget;
    }
    // Through a set: 4 x 4 frames, a budget of three of them past a floor of 1.
    // No thread starts (no preloader's, no pool's): the pass runs here, alone.
    FrameFiles files("budget", 10, 4, 4, 3);
    tvn::plat::testing::failEveryCall(tvn::plat::testing::CallThread);
    {
        CRGBAImageSet set(files.name(0).c_str());
        set.keepReady(1);
        ASSERT_EQ(set.setMemoryBudget(3 * 4 * 4 * 4), 1);
        ASSERT_NE(set.getFrame(5), nullptr); // the window widens to the whole set again
        set.preloadFrames();
        EXPECT_EQ(loadedFrames(set, files), "....LLLLLL");
    }
    tvn::plat::testing::clearFaults();
}
