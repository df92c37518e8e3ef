// Animation cache files: exact bytes, round trips, the save's in-place rule and
// its all-or-nothing guarantee, re-reads, handles and threads, damaged files.
#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <utility>

#include "platform/message_record.h"
#include "platform/testing/test_environment.h"
#include "support/cache_builder.h"

using namespace tvntest;

namespace {

const std::vector<unsigned char> kEmpty = buildCache({});

int saveAll(const std::string& path, const std::vector<const FrameFiles*>& runs) {
    Cache c(path, 1);
    for (const FrameFiles* r : runs) EXPECT_EQ(c.rw.addEntry(c.h, r->name(0).c_str()), 1);
    return c.rw.saveCacheFile(c.h, nullptr, nullptr);
}

void expectFrames(CKACReaderWriter& rw, TVN_DWORD h, unsigned entry, const FrameFiles& run, int count) {
    for (int k = 0; k < count; ++k) {
        TVN_DWORD w = 0, ht = 0;
        ASSERT_EQ(rw.getFrameSize(h, entry, k, &w, &ht), 1);
        std::vector<TVN_DWORD> px(static_cast<std::size_t>(w) * ht);
        ASSERT_EQ(rw.getFrameData(h, entry, k, px.data()), 1);
        EXPECT_EQ(px, run.pixels(k));
        EXPECT_EQ(rw.getFrameName(h, entry, k), run.name(k));
    }
}

} // namespace

TEST(Cache, WritesExactBytes) {
    TempFile file("exact.kac");
    file.write({'j', 'u', 'n', 'k'});
    EXPECT_EQ(saveAll(file.path(), {}), 1);
    EXPECT_EQ(file.read(), kEmpty);
    ASSERT_EQ(kEmpty.size(), 23u);

    // The worked example: one entry "a.tga", one 2 x 1 frame a.tga: 73 + S bytes.
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    const std::vector<TVN_DWORD> px = {tvnRGBA(1, 2, 3, 255), tvnRGBA(9, 8, 7, 6)};
    CRGBAImage(px.data(), 2, 1).saveTGA("a.tga");
    // The time stamp is the same value on every build: 100-ns units since 1601.
    utimbuf times{1700000000, 1700000000}; // 2023-11-14 22:13:20 UTC
    ASSERT_EQ(utime("a.tga", &times), 0);
    const unsigned long long ticks = (1700000000ull + 11644473600ull) * 10000000ull;
    FILETIME t{};
    t.dwLowDateTime = static_cast<TVN_DWORD>(ticks), t.dwHighDateTime = static_cast<TVN_DWORD>(ticks >> 32);
    const std::vector<unsigned char> packed = packPixels(px, 2, 1);
    {
        Cache c(file.path(), 1);
        ASSERT_EQ(c.rw.addEntry(c.h, "a.tga"), 1);
        ASSERT_EQ(c.rw.saveCacheFile(c.h, nullptr, nullptr), 1);
    }
    EXPECT_EQ(file.read().size(), 73 + packed.size());
    EXPECT_EQ(file.read(), buildCache({{"a.tga", {{"a.tga", t, 2, 1, packed}}}}));
    std::remove("a.tga");
    std::filesystem::current_path(old);
}

TEST(Cache, RoundTripsTwoEntriesAndReportsProgressWithAnyWorkerCount) {
    // Entry a outnumbers the save's ring of packed frames at every count.
    FrameFiles a("rt_a", 9, 5, 4, 10), b("rt_b", 2, 7, 3, 20);
    TempFile file("rt.kac");
    struct Calls {
        std::vector<std::pair<unsigned, unsigned>> seen;
        bool elsewhere = false;
        std::thread::id saver = std::this_thread::get_id();
    };
    auto record = [](void* user, unsigned done, unsigned total) {
        auto* calls = static_cast<Calls*>(user);
        calls->seen.push_back({done, total});
        calls->elsewhere |= std::this_thread::get_id() != calls->saver;
        return 1;
    };
    // After each written frame, after each entry, and once at the end.
    std::vector<std::pair<unsigned, unsigned>> expected;
    unsigned done = 0;
    for (unsigned frames : {9u, 2u}) {
        for (unsigned k = 0; k < frames; ++k) expected.push_back({done + k, 11});
        done += frames;
        expected.push_back({done, 11});
    }
    expected.push_back({11, 11});
    for (unsigned workers : {1u, 3u, 0u}) {
        SCOPED_TRACE(workers);
        tvnSetWorkerCount(workers);
        Calls calls;
        {
            Cache c(file.path(), 1);
            ASSERT_EQ(c.rw.addEntry(c.h, a.name(0).c_str()), 1);
            ASSERT_EQ(c.rw.addEntry(c.h, b.name(0).c_str()), 1);
            expectFrames(c.rw, c.h, 1, b, 2); // not saved yet: from the source files
            ASSERT_EQ(c.rw.saveCacheFile(c.h, record, &calls), 1);
        }
        EXPECT_EQ(calls.seen, expected);
        EXPECT_FALSE(calls.elsewhere);
        EXPECT_EQ(file.read(), buildCache({a.entry(), b.entry()}));
        file.write({});
    }
    tvnSetWorkerCount(0);
    ASSERT_EQ(saveAll(file.path(), {&a, &b}), 1);
    a.removeAll();
    b.removeAll();
    Cache c(file.path(), 0);
    ASSERT_NE(c.h, 0u);
    KAC_ENTRY_INFO info{};
    ASSERT_EQ(c.rw.getCacheEntryInfo(c.h, 0, &info), 1);
    EXPECT_EQ(info.pszFileName, a.name(0));
    EXPECT_EQ(info.nNumFrames, 9u);
    EXPECT_EQ(c.rw.getCacheEntryInfo(c.h, 2, &info), 0);
    EXPECT_EQ(c.rw.getCacheEntryInfo(c.h, 0, nullptr), 0);
    EXPECT_EQ(c.rw.getFileSize(c.h), file.read().size());
    expectFrames(c.rw, c.h, 0, a, 9);
    expectFrames(c.rw, c.h, 1, b, 2);
}

TEST(Cache, StepsOverEntriesInPlaceAndRewritesAfterADeletion) {
    FrameFiles a("ip_a", 2, 3, 3, 30), b("ip_b", 2, 4, 2, 40), c3("ip_c", 1, 2, 2, 50);
    TempFile file("ip.kac");
    const CacheEntry ea = a.entry(), eb = b.entry(), ec = c3.entry();
    ASSERT_EQ(saveAll(file.path(), {&a, &b}), 1);
    a.removeAll(); // stepped over: its sources are not needed
    {
        Cache c(file.path(), 0);
        ASSERT_EQ(c.rw.reopenAsWritable(c.h), 1);
        ASSERT_EQ(c.rw.addEntry(c.h, c3.name(0).c_str()), 1);
        // Only the head, the new entry and the tables are written, and the journal
        // keeps only the old head and tables (a 24-byte header, its 4-byte mark).
        const auto before = file.read(), after = buildCache({ea, eb, ec});
        tvn::plat::testing::failNthCall(tvn::plat::testing::CallWrite, 0);
        ASSERT_EQ(c.rw.saveCacheFile(c.h, nullptr, nullptr), 1);
        EXPECT_EQ(tvn::plat::testing::writtenBytes(), 19 + after.size() - (before.size() - 12) + 24 + 19 + 12 + 4);
        tvn::plat::testing::clearFaults();
        EXPECT_EQ(file.read(), after);
        ASSERT_EQ(c.rw.deleteEntry(c.h, 0), 1);
        EXPECT_EQ(c.rw.deleteEntry(c.h, 2), 0);
        ASSERT_EQ(c.rw.saveCacheFile(c.h, nullptr, nullptr), 1); // b and c again, from their sources
        EXPECT_EQ(file.read(), buildCache({eb, ec}));
    }
    Cache c(file.path(), 0);
    EXPECT_EQ(c.rw.saveCacheFile(c.h, nullptr, nullptr), 0); // read-only
    expectFrames(c.rw, c.h, 1, c3, 1);
}

TEST(Cache, RereadReplacesTheListOrKeepsIt) {
    FrameFiles a("rr_a", 1, 2, 2, 60), b("rr_b", 1, 3, 1, 70);
    TempFile file("rr.kac");
    ASSERT_EQ(saveAll(file.path(), {&a}), 1);
    Cache c(file.path(), 0);
    file.write(buildCache({a.entry(), b.entry()}));
    ASSERT_EQ(c.rw.reopen(c.h), 1);
    EXPECT_EQ(c.rw.getNumCacheEntries(c.h), 2);
    file.write({'K', 'o'});
    EXPECT_EQ(c.rw.reopen(c.h), 0);
    EXPECT_EQ(c.rw.addEntry(c.h, "no_such_frame0000.tga"), 0);
    EXPECT_EQ(c.rw.getNumCacheEntries(c.h), 2);
    EXPECT_STREQ(c.rw.getFrameName(c.h, 1, 0), b.name(0).c_str());
}

TEST(Cache, FailedSavesLeaveFileAndOffsetsAsTheyWere) {
    FrameFiles a("fs_a", 2, 6, 5, 80), b("fs_b", 3, 5, 5, 90);
    TempFile file("fs.kac");
    ASSERT_EQ(saveAll(file.path(), {&a}), 1);
    const auto before = file.read();
    struct Failure {
        const char* what;
        bool missing;
        int stopAt;
    };
    // Failed calls of the system: tests/fault_walk_test.cpp.
    const Failure failures[] = {{"missing source", true, -1}, {"callback stop", false, 2}};
    KAC_PROGRESS_PROC stop = [](void* user, unsigned done, unsigned) {
        return static_cast<int>(done) != *static_cast<int*>(user) ? 1 : 0;
    };
    for (bool dropFirst : {false, true}) {
        for (const Failure& f : failures) {
            SCOPED_TRACE(std::string(f.what) + (dropFirst ? ", first entry deleted" : ", appended"));
            auto c = std::make_unique<Cache>(file.path(), 0); // closed before the file is put back
            ASSERT_EQ(c->rw.reopenAsWritable(c->h), 1);
            ASSERT_EQ(c->rw.addEntry(c->h, b.name(0).c_str()), 1);
            if (dropFirst) {
                ASSERT_EQ(c->rw.deleteEntry(c->h, 0), 1);
            }
            const auto expected = dropFirst ? buildCache({b.entry()}) : buildCache({a.entry(), b.entry()});
            if (f.missing) std::rename(b.name(2).c_str(), (b.name(2) + "~").c_str());
            int stopAt = f.stopAt;
            EXPECT_EQ(c->rw.saveCacheFile(c->h, f.stopAt >= 0 ? stop : nullptr, &stopAt), 0);
            EXPECT_EQ(file.read(), before);
            if (f.missing) std::rename((b.name(2) + "~").c_str(), b.name(2).c_str());
            EXPECT_EQ(c->rw.saveCacheFile(c->h, nullptr, nullptr), 1);
            EXPECT_EQ(file.read(), expected);
            c.reset();
            file.write(before);
        }
    }
}

TEST(Cache, HandlesBelongToTheirThreadAndComeFromOneCounter) {
    TempFile one("h1.kac"), two("h2.kac");
    one.write(kEmpty);
    two.write(kEmpty);
    CKACReaderWriter rw, other;
    const TVN_DWORD h1 = rw.openFile(one.path(), 0);
    const TVN_DWORD h2 = other.openFile(two.path(), 1);
    ASSERT_NE(h1, 0u);
    EXPECT_EQ(h2, h1 + 1);
    EXPECT_EQ(rw.openFile(one.path(), 0), h1);
    EXPECT_EQ(rw.openFile(one.path(), 1), 0u);
    EXPECT_EQ(rw.getNumCacheEntries(h2), -1); // the other reader-writer's
    EXPECT_EQ(rw.getNumCacheEntries(0), -1);
    CKACReaderWriter copy(rw);
    EXPECT_EQ(copy.getNumCacheEntries(h1), -1);
    std::thread([&] {
        EXPECT_EQ(rw.openFile(one.path(), 0), 0u);
        EXPECT_EQ(rw.getNumCacheEntries(h1), -1);
        EXPECT_EQ(rw.getFileName(h1), nullptr);
        EXPECT_EQ(rw.closeFile(h1), 0);
    }).join();
    EXPECT_EQ(rw.getNumCacheEntries(h1), 0);
    EXPECT_EQ(rw.closeFile(h1), 1);
    EXPECT_EQ(rw.closeFile(h1), 0);
    const TVN_DWORD h3 = rw.openFile(one.path(), 0);
    EXPECT_EQ(h3, h2 + 1); // never reused

    // Host threads sharing one reader-writer, each with its own file.
    std::vector<std::unique_ptr<TempFile>> own;
    for (int t = 0; t < 4; ++t) own.emplace_back(new TempFile("t.kac")), own[t]->write(kEmpty);
    std::vector<std::thread> threads;
    std::vector<TVN_DWORD> handles(4);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                handles[t] = rw.openFile(own[t]->path(), 0);
                EXPECT_EQ(rw.getNumCacheEntries(handles[t]), 0);
                EXPECT_EQ(rw.closeFile(handles[t]), 1);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_NE(handles[0], handles[1]);
}

TEST(Cache, RefusesDamagedFiles) {
    std::vector<TVN_DWORD> px = randomPixels(4, 3, 5);
    FILETIME t{7, 8};
    const auto good = buildCache({{"e", {{"f0", t, 4, 3, packPixels(px, 4, 3)}, {"f1", t, 4, 3, packPixels(px, 4, 3)}}}});
    auto opens = [](const std::vector<unsigned char>& bytes) {
        MemoryFile m("damaged.kac", bytes);
        CKACReaderWriter rw;
        const TVN_DWORD h = rw.openFile(m.path(), 0);
        if (!h) return false;
        // A frame that does not unpack to exactly W x H words gives 0.
        for (unsigned k = 0; k < 2; ++k) {
            TVN_DWORD w = 0, ht = 0;
            if (!rw.getFrameSize(h, 0, k, &w, &ht) || static_cast<unsigned long long>(w) * ht > 1u << 20) return false;
            std::vector<TVN_DWORD> out(static_cast<std::size_t>(w) * ht);
            if (!rw.getFrameData(h, 0, k, out.data())) return false;
        }
        return true;
    };
    ASSERT_TRUE(opens(good));
    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(opens({good.begin(), good.begin() + n})) << n;
    for (std::size_t i = 0; i < 19; ++i) {
        auto bad = good;
        bad[i] ^= 0x20; // letter case too
        EXPECT_FALSE(opens(bad)) << i;
    }
    struct Poke { std::size_t at; TVN_DWORD value; };
    const std::size_t frame0 = 19 + 4 + 1 + 4 + 8;
    const Poke pokes[] = {{good.size() - 4, 2}, {good.size() - 4, 0x40000000}, {good.size() - 8, 0xFFFFFFF0},
                          {19, 0xFFFFFFFF},       {24, 0x10000000},            {28, 0},
                          {frame0, 1000},         {frame0 + 18, 5},            {frame0 + 22, 0x7FFFFFFF},
                          {frame0 + 14, 5},       {frame0 + 18, 0x10000}};
    for (const Poke& p : pokes) {
        auto bad = good;
        for (int i = 0; i < 4; ++i) bad[p.at + i] = static_cast<unsigned char>(p.value >> (8 * i));
        EXPECT_FALSE(opens(bad)) << p.at << " " << p.value;
    }
}

TEST(Cache, ReadsTheCommittedFileOfEitherBuild) {
    // tests/data/two_entries.kac: what either build writes for these frames.
    const std::string path = std::string(TIVORN_SOURCE_DIR) + "/tests/data/two_entries.kac";
    std::vector<CacheEntry> entries;
    for (unsigned e = 0; e < 2; ++e) {
        entries.push_back({"spin" + std::to_string(e) + "0000.tga", {}});
        for (unsigned k = 0; k < 2 + e; ++k)
            entries.back().frames.push_back({"spin" + std::to_string(e) + "000" + std::to_string(k) + ".tga",
                                             FILETIME{0x89ABCDEFu + k, 0x01D9ABCDu}, 3 + e, 2,
                                             packPixels(randomPixels(3 + e, 2, 100 * e + k, true), 3 + e, 2)});
    }
    const std::vector<unsigned char> bytes = buildCache(entries);
    if (std::getenv("TIVORN_WRITE_CACHE_DATA"))
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    ASSERT_EQ(readFileBytes(path), bytes);
    Cache c(path, 0);
    ASSERT_EQ(c.rw.getNumCacheEntries(c.h), 2);
    for (unsigned e = 0; e < 2; ++e)
        for (unsigned k = 0; k < 2 + e; ++k) {
            std::vector<TVN_DWORD> px((3 + e) * 2);
            ASSERT_EQ(c.rw.getFrameData(c.h, e, k, px.data()), 1);
            EXPECT_EQ(px, randomPixels(3 + e, 2, 100 * e + k, true));
        }
}

// Every operation on a handle from inside its own save (the progress callback)
// fails with its failure value and records nothing; the save goes on as if
// nothing had been called.
TEST(Cache, CallsIntoAHandleFromInsideItsSaveFailAndChangeNothing) {
    FrameFiles a("busy_a", 2, 3, 2, 110), b("busy_b", 1, 2, 2, 120);
    TempFile file("busy.kac");
    struct Inside {
        CKACReaderWriter* rw;
        TVN_DWORD h;
        std::string path, source;
        int calls = 0, refused = 0;
    } inside;
    KAC_PROGRESS_PROC callback = [](void* user, unsigned, unsigned) {
        Inside& in = *static_cast<Inside*>(user);
        const unsigned long before = tvn::plat::messageSequence();
        TVN_DWORD w = 0, h = 0, px[6];
        KAC_ENTRY_INFO info;
        const bool refused[] = {
            in.rw->closeFile(in.h) == 0, in.rw->reopen(in.h) == 0, in.rw->reopenAsWritable(in.h) == 0,
            in.rw->isWritable(in.h) == 0, in.rw->getFileName(in.h) == nullptr, in.rw->getFileSize(in.h) == 0,
            in.rw->getNumCacheEntries(in.h) == -1, in.rw->getCacheEntryInfo(in.h, 0, &info) == 0,
            in.rw->saveCacheFile(in.h, nullptr, nullptr) == 0, in.rw->addEntry(in.h, in.source.c_str()) == 0,
            in.rw->deleteEntry(in.h, 0) == 0, in.rw->getFrameSize(in.h, 0, 0, &w, &h) == 0,
            in.rw->getFrameData(in.h, 0, 0, px) == 0, in.rw->getFrameName(in.h, 0, 0) == nullptr,
            in.rw->openFile(in.path.c_str(), 1) == 0};
        for (bool r : refused) in.refused += r;
        ++in.calls;
        EXPECT_EQ(tvn::plat::lastMessageNumber() > before, false); // nothing raised or recorded
        return 1;
    };
    Cache c(file.path(), 1);
    inside = {&c.rw, c.h, file.path(), b.name(0)};
    ASSERT_EQ(c.rw.addEntry(c.h, a.name(0).c_str()), 1);
    ASSERT_EQ(c.rw.saveCacheFile(c.h, callback, &inside), 1);
    EXPECT_EQ(inside.refused, 15 * inside.calls);
    EXPECT_EQ(file.read(), buildCache({a.entry()}));
    EXPECT_EQ(c.rw.getNumCacheEntries(c.h), 1); // usable again once the save returned
}

// What other writers may write: records shared by entries and by frames,
// packed bytes after a frame's last pixel, empty frames with no packed bytes,
// and a packed length that runs past the end (the size still reads; the pixels
// fail and leave the host's buffer as it was).
TEST(Cache, ReadsWhatOtherWritersMayWrite) {
    const std::vector<TVN_DWORD> px = randomPixels(4, 3, 5);
    const FILETIME t{7, 8};
    std::vector<unsigned char> packed = packPixels(px, 4, 3);
    std::vector<unsigned char> trailing = packed;
    trailing.insert(trailing.end(), {0x81, 1, 2, 3, 4});
    auto bytes = buildCache({{"e", {{"f0", t, 4, 3, packed}, {"f1", t, 4, 3, trailing}, {"f2", t, 0, 0, {}}}}});
    auto put = [&](std::size_t at, TVN_DWORD v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    // A second entry sharing the first's record, and a frame table slot
    // repeated: entry e's frames are f0, f1, f2; its slot 2 is made f0's too.
    const std::size_t table = bytes.size() - 8;
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(table), {19, 0, 0, 0});
    put(bytes.size() - 4, 2);
    const std::size_t slots = 19 + 4 + 1 + 4;
    TVN_DWORD f0 = 0;
    for (int i = 0; i < 4; ++i) f0 |= static_cast<TVN_DWORD>(bytes[slots + i]) << (8 * i);
    std::vector<unsigned char> empty = bytes;
    put(slots + 8, f0);
    MemoryFile shared("shared.kac", bytes);
    CKACReaderWriter rw;
    TVN_DWORD h = rw.openFile(shared.path(), 0);
    ASSERT_NE(h, 0u);
    ASSERT_EQ(rw.getNumCacheEntries(h), 2);
    for (unsigned e = 0; e < 2; ++e)
        for (unsigned k = 0; k < 3; ++k) {
            std::vector<TVN_DWORD> out(12);
            ASSERT_EQ(rw.getFrameData(h, e, k, out.data()), 1) << e << k;
            EXPECT_EQ(out, px);
        }
    // The empty frame f2 (0 x 0, no packed bytes).
    MemoryFile emptyFrame("empty.kac", empty);
    h = rw.openFile(emptyFrame.path(), 0);
    TVN_DWORD w = 1, ht = 1, untouched = 0xABABABABu;
    ASSERT_EQ(rw.getFrameSize(h, 0, 2, &w, &ht), 1);
    EXPECT_EQ(w + ht, 0u);
    EXPECT_EQ(rw.getFrameData(h, 0, 2, &untouched), 1);
    EXPECT_EQ(untouched, 0xABABABABu);
    // f1's packed length past the end of the file.
    std::vector<unsigned char> cut = empty;
    const std::size_t f1Length = slots + 12 + 26 + packed.size() + 22; // the table, f0, f1's L, name, time, W, H
    for (int i = 0; i < 4; ++i) cut[f1Length + i] = 0xFF;
    MemoryFile past("past.kac", cut);
    h = rw.openFile(past.path(), 0);
    ASSERT_EQ(rw.getFrameSize(h, 0, 1, &w, &ht), 1);
    EXPECT_EQ(w * 10 + ht, 43u);
    std::vector<TVN_DWORD> out(12, 0xABABABABu);
    EXPECT_EQ(rw.getFrameData(h, 0, 1, out.data()), 0);
    EXPECT_EQ(out, std::vector<TVN_DWORD>(12, 0xABABABABu));
}
