#include "cache/journal.h"
#include "cache/cache_format.h"
#include "cache/failures.h"
#include "pixel/heap.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <cstring>

namespace tvn {
namespace cache {

namespace {

const char kJournalMagic[8] = {'T', 'V', 'N', 'J', 'R', 'N', 'L', '1'};
const TVN_DWORD kHeaderSize = 24;
const TVN_DWORD kStateAt = 8;
const TVN_DWORD kChunk = 1u << 20;

bool allZero(const unsigned char* p, TVN_DWORD n) {
    for (TVN_DWORD i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

bool readFully(HANDLE file, void* out, TVN_DWORD size) {
    TVN_DWORD got = 0;
    return plat::fileRead(file, out, size, &got) && got == size;
}

// Copies `length` bytes from `from` at fromAt to `to` at toAt through `chunk`.
// holes: runs of zero chunks are stepped over instead of written (the target
// is a fresh file, cut to its full length afterwards).
bool copyRange(HANDLE from, TVN_DWORD fromAt, HANDLE to, TVN_DWORD toAt, TVN_DWORD length, unsigned char* chunk,
               bool holes) {
    if (!plat::fileSeekTo(from, fromAt) || !plat::fileSeekTo(to, toAt)) return false;
    for (TVN_DWORD done = 0; done < length;) {
        const TVN_DWORD n = length - done < kChunk ? length - done : kChunk;
        if (!readFully(from, chunk, n)) return false;
        if (holes && allZero(chunk, n)) {
            if (!plat::fileSeekTo(to, toAt + done + n)) return false;
        } else if (!plat::fileWriteAll(to, chunk, n)) {
            return false;
        }
        done += n;
    }
    return true;
}

void writeJournal(HANDLE journal, HANDLE cache, TVN_DWORD oldSize, TVN_DWORD tailStart) {
    pixel::HeapBlock chunk(pixel::heapAlloc(kChunk));
    if (!chunk.get()) throw failure::WriteFailed;
    const TVN_DWORD head = oldSize < kMagicSize ? oldSize : kMagicSize;
    const TVN_DWORD tail = tailStart < oldSize ? oldSize - tailStart : 0;
    unsigned char header[kHeaderSize];
    std::memcpy(header, kJournalMagic, sizeof kJournalMagic);
    putU32(header + kStateAt, 0);
    putU32(header + 12, oldSize);
    putU32(header + 16, head);
    putU32(header + 20, tailStart < oldSize ? tailStart : oldSize);
    const TVN_DWORD end = kHeaderSize + head + tail;
    unsigned char* bytes = chunk.as<unsigned char>();
    if (!plat::fileWriteAll(journal, header, kHeaderSize) || !copyRange(cache, 0, journal, kHeaderSize, head, bytes, false) ||
        !copyRange(cache, tailStart, journal, kHeaderSize + head, tail, bytes, true) ||
        !plat::fileSeekTo(journal, end) || !plat::fileTruncate(journal) || !plat::fileSync(journal))
        throw failure::WriteFailed;
    // Complete only once everything before is on the disk.
    unsigned char complete[4];
    putU32(complete, 1);
    if (!plat::fileSeekTo(journal, kStateAt) || !plat::fileWriteAll(journal, complete, 4) || !plat::fileSync(journal))
        throw failure::WriteFailed;
}

} // namespace

void journalWrite(const char* name, HANDLE cache, TVN_DWORD oldSize, TVN_DWORD tailStart) {
    plat::CPlatformFile journal(plat::fileOpen(name, plat::FileCreateWrite));
    if (!journal.isOpen()) throw failure::WriteFailed;
    try {
        writeJournal(journal.handle(), cache, oldSize, tailStart);
    } catch (...) {
        journal.reset();
        plat::fileRemove(name);
        throw;
    }
}

bool journalPresent(const char* name) {
    return plat::pathExists(name) != 0;
}

JournalState journalPlayBack(const char* name, HANDLE cache) {
    if (!journalPresent(name)) return JournalNone;
    {
        plat::CPlatformFile journal(plat::fileOpen(name, plat::FileRead));
        const TVN_DWORD length = plat::fileSize(journal.handle());
        if (!journal.isOpen() || length == plat::kInvalidFileSize) return JournalUnusable;
        unsigned char header[kHeaderSize];
        // A header not yet written in full belongs to a journal not complete either.
        if (length >= kHeaderSize) {
            if (!readFully(journal.handle(), header, kHeaderSize) ||
                std::memcmp(header, kJournalMagic, sizeof kJournalMagic) != 0)
                return JournalUnusable;
        }
        if (length >= kHeaderSize && getU32(header + kStateAt) == 1) {
            const TVN_DWORD oldSize = getU32(header + 12), head = getU32(header + 16), tailStart = getU32(header + 20);
            if (head > kMagicSize || head > oldSize || tailStart > oldSize ||
                length != static_cast<unsigned long long>(kHeaderSize) + head + (oldSize - tailStart))
                return JournalUnusable;
            pixel::HeapBlock chunk(pixel::heapAlloc(kChunk));
            unsigned char* bytes = chunk.as<unsigned char>();
            if (!bytes || !copyRange(journal.handle(), kHeaderSize, cache, 0, head, bytes, false) ||
                !copyRange(journal.handle(), kHeaderSize + head, cache, tailStart, oldSize - tailStart, bytes, false) ||
                !plat::fileSeekTo(cache, oldSize) || !plat::fileTruncate(cache) || !plat::fileSync(cache))
                return JournalUnusable;
        }
    }
    // An incomplete journal: its save stopped before it changed the cache.
    return plat::fileRemove(name) ? JournalPlayedBack : JournalUnusable;
}

} // namespace cache
} // namespace tvn
