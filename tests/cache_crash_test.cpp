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

struct Cache {
    CKACReaderWriter rw;
    TVN_DWORD h;
    Cache(const std::string& path, int writable) : h(rw.openFile(path.c_str(), writable)) {}
};

bool exists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

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
            EXPECT_FALSE(exists(journal));
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
    TVN_DWORD size = 0;
    {
        // Entry 0: one frame whose packed bytes are a gigabyte of zeros, left as a hole.
        auto bytes = buildCache({{"huge", {{"huge0000.tga", FILETIME{1, 2}, 16384, 16384, {}}}}, small.entry()});
        const std::size_t packedLengthAt = 19 + 8 + 4 + 4 + 4 + 12 + 8 + 8; // entry "huge", table, frame name, time, W, H
        for (int i = 0; i < 4; ++i) bytes[packedLengthAt + i] = static_cast<unsigned char>(big >> (8 * i));
        const std::size_t headLength = packedLengthAt + 4;
        std::vector<unsigned char> tail(bytes.begin() + static_cast<std::ptrdiff_t>(headLength), bytes.end());
        // The second entry and the tables move up by the gigabyte.
        const TVN_DWORD second = static_cast<TVN_DWORD>(headLength) + big;
        const std::size_t tables = tail.size() - 12;
        for (int i = 0; i < 4; ++i) tail[tables + 4 + i] = static_cast<unsigned char>(second >> (8 * i));
        // The second entry's frame offsets, relative to where it stood before.
        const TVN_DWORD shift = big;
        const std::size_t frames = 4 + small.name(0).size() + 4;
        for (int f = 0; f < 2; ++f) {
            TVN_DWORD o = 0;
            for (int i = 0; i < 4; ++i) o |= static_cast<TVN_DWORD>(tail[frames + 4 * f + i]) << (8 * i);
            o += shift;
            for (int i = 0; i < 4; ++i) tail[frames + 4 * f + i] = static_cast<unsigned char>(o >> (8 * i));
        }
        std::FILE* out = std::fopen(file.path(), "wb");
        std::fwrite(bytes.data(), 1, headLength, out);
        std::fseek(out, static_cast<long>(headLength + big), SEEK_SET);
        std::fwrite(tail.data(), 1, tail.size(), out);
        std::fclose(out);
        size = static_cast<TVN_DWORD>(headLength + big + tail.size());
    }
    {
        Cache k(file.path(), 0);
        ASSERT_EQ(k.rw.getNumCacheEntries(k.h), 2);
        ASSERT_EQ(k.rw.getFileSize(k.h), size);
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
