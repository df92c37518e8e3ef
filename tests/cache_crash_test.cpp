// Cache saves cut off by the death of the process at random points, and a
// 1 GB cache saved in a small address space (POSIX: fork, kill, rlimit).
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/cache_builder.h"
#include "support/faults.h"

using namespace tvntest;

namespace {

// Runs child() in a forked process and returns its wait status.
template <class Child> int inChild(Child child) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int code = child();
        std::fflush(nullptr);
        std::_Exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

void die() {
    std::raise(SIGKILL);
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
const bool kSanitized = true; // the sanitizers need far more address space
#else
const bool kSanitized = false;
#endif

} // namespace

// A save killed just before one of its file calls leaves, once the cache is
// opened again, exactly the old file or exactly the new one: for an append, a
// save after the first entry went (all written again) and a save that adds an
// entry and drops another. 50 points in all, chosen at random (fixed seed) among
// every file call of the three saves.
TEST(CacheJournal, ASaveKilledAnywhereLeavesTheOldFileOrTheNew) {
    FrameFiles a("kill_a", 2, 5, 4, 10), b("kill_b", 3, 4, 4, 20), c("kill_c", 2, 6, 3, 30);
    TempFile file("kill.kac");
    const std::string journal = std::string(file.path()) + ".journal";
    const std::vector<unsigned char> old = buildCache({a.entry(), b.entry()});
    struct Scenario {
        const char* what;
        std::vector<unsigned char> after;
        void (*change)(Cache&, const FrameFiles&);
    };
    const Scenario scenarios[] = {
        {"append", buildCache({a.entry(), b.entry(), c.entry()}),
         [](Cache& k, const FrameFiles& c) { k.rw.addEntry(k.h, c.name(0).c_str()); }},
        {"delete first", buildCache({b.entry()}), [](Cache& k, const FrameFiles&) { k.rw.deleteEntry(k.h, 0); }},
        {"delete first and add", buildCache({b.entry(), c.entry()}),
         [](Cache& k, const FrameFiles& c) {
             k.rw.deleteEntry(k.h, 0);
             k.rw.addEntry(k.h, c.name(0).c_str());
         }},
    };
    std::mt19937 random(2026);
    int points = 0;
    for (const Scenario& s : scenarios) {
        auto save = [&](unsigned long killAt) {
            file.write(old);
            Cache k(file.path(), 0);
            k.rw.reopenAsWritable(k.h);
            s.change(k, c);
            if (killAt) calls::atNthCall(calls::CallFiles, killAt, die);
            else calls::failNthCall(calls::CallFiles, 0);
            const int saved = k.rw.saveCacheFile(k.h, nullptr, nullptr);
            const unsigned long made = calls::countedCalls();
            calls::clearFaults();
            return saved ? made : 0;
        };
        const unsigned long total = save(0);
        ASSERT_GT(total, 10u) << s.what;
        for (int i = 0; i < (s.what[0] == 'a' ? 16 : 17); ++i, ++points) {
            const unsigned long at = std::uniform_int_distribution<unsigned long>(1, total)(random);
            const int status = inChild([&] { return save(at) ? 0 : 3; });
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << s.what << " " << at;
            Cache opened(file.path(), 0); // plays the journal back
            ASSERT_NE(opened.h, 0u) << s.what << " " << at;
            const auto bytes = file.read();
            EXPECT_TRUE(bytes == old || bytes == s.after) << s.what << " killed before file call " << at;
            EXPECT_FALSE(fileExists(journal));
        }
    }
    EXPECT_EQ(points, 50);
}

// A read-only open that finds a journal it cannot play back (the file cannot be
// opened for writing) refuses the cache; once it can, the cache opens as it was.
TEST(CacheJournal, AReadOnlyOpenRefusesWhatItCannotPlayBack) {
    FrameFiles a("ro_a", 1, 3, 3, 40), b("ro_b", 1, 2, 2, 50);
    TempFile file("ro.kac");
    const auto old = buildCache({a.entry()});
    file.write(old);
    const int status = inChild([&] {
        Cache k(file.path(), 0);
        k.rw.reopenAsWritable(k.h);
        k.rw.deleteEntry(k.h, 0);
        k.rw.addEntry(k.h, b.name(0).c_str());
        calls::atNthCall(calls::CallSync, 3, die); // the cache written, not yet synced
        k.rw.saveCacheFile(k.h, nullptr, nullptr);
        return 3;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_NE(file.read(), old);
    calls::failEveryCall(calls::CallOpen); // no open succeeds: neither the playback's nor the cache's
    CKACReaderWriter rw;
    EXPECT_EQ(rw.openFile(file.path(), 0), 0u);
    calls::clearFaults();
    Cache again(file.path(), 0);
    EXPECT_NE(again.h, 0u);
    EXPECT_EQ(file.read(), old);
}

// Deleting the first entry of a 1 GB cache and saving, in a process allowed
// 512 MB of address space: the journal keeps the gigabyte (as holes where it is
// zeros) and the save holds one frame at a time.
TEST(CacheJournal, SavesAGigabyteCacheInHalfAGigabyteOfAddressSpace) {
    if (kSanitized) GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
    FrameFiles small("big_b", 2, 64, 48, 60);
    TempFile file("big.kac");
    const TVN_DWORD big = 1u << 30;
    // Entry 0: one frame whose packed bytes are a gigabyte of zeros, left as a hole.
    const auto bytes = buildCache({{"huge", {{"huge0000.tga", FILETIME{1, 2}, 16384, 16384, {}, big}}}, small.entry()});
    const long head = 19 + 8 + 4 + 4 + 4 + 12 + 8 + 8 + 4; // entry "huge", table, frame name, time, W, H, length
    std::FILE* out = std::fopen(file.path(), "wb");
    std::fwrite(bytes.data(), 1, head, out);
    std::fseek(out, head + big, SEEK_SET);
    std::fwrite(bytes.data() + head, 1, bytes.size() - head, out);
    std::fclose(out);
    {
        Cache k(file.path(), 0);
        ASSERT_EQ(k.rw.getNumCacheEntries(k.h), 2);
        ASSERT_EQ(k.rw.getFileSize(k.h), bytes.size() + big);
    }
    const int status = inChild([&] {
        const rlimit limit = {512u << 20, 512u << 20};
        if (setrlimit(RLIMIT_AS, &limit) != 0) return 4;
        Cache k(file.path(), 0);
        if (!k.rw.reopenAsWritable(k.h) || !k.rw.deleteEntry(k.h, 0)) return 5;
        if (!k.rw.saveCacheFile(k.h, nullptr, nullptr)) return 6;
        rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        std::printf("peak resident memory of the save: %ld KB\n", usage.ru_maxrss);
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(file.read(), buildCache({small.entry()}));
}
