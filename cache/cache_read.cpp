// Reading a cache file's entry list: names, counts, offsets and time stamps only.
// The packed pixels are read when a frame's pixels are asked for.
#include "cache/cache_file.h"
#include "cache/cache_format.h"
#include "cache/failures.h"
#include "cache/file_window.h"
#include "pixel/heap.h"
#include "platform/files.h"

#include <cstring>
#include <memory>
#include <new>

namespace tvn {
namespace cache {

namespace {

// Records may lie anywhere after the magic, and entries and frames may share
// them; only what cannot lie within the file is refused. Shared records could
// still make a small file describe a huge list, so what the list will hold in
// memory is bounded by a multiple of the file's size (a file whose records are
// not shared needs about twice its size).
class MemoryBudget {
public:
    explicit MemoryBudget(TVN_DWORD fileSize) : m_left(4ull * fileSize + (1u << 20)) {}
    void take(unsigned long long bytes) {
        if (bytes > m_left) throw failure::FramesNotCreated;
        m_left -= bytes;
    }

private:
    unsigned long long m_left;
};

const unsigned long long kFrameCost = sizeof(CKACFrame) + sizeof(std::pair<CKACFrame*, TVN_DWORD>) + 16;
const unsigned long long kEntryCost = sizeof(CKACEntry) + sizeof(std::pair<CKACEntry*, TVN_DWORD>) + 16;

// A record of `size` bytes at `offset` lies after the magic and within the file.
bool inFile(const FileWindow& in, TVN_DWORD offset, unsigned long long size) {
    return offset >= kMagicSize && offset <= in.fileSize() && size <= in.fileSize() - offset;
}

// The name of a record: its length L and a zero-terminated heap copy of its L bytes.
char* readName(FileWindow& in, TVN_DWORD offset, TVN_DWORD* length, MemoryBudget& budget) {
    if (!in.readU32(offset, length)) throw failure::LengthUnreadable;
    if (!inFile(in, offset, 4ull + *length)) throw failure::NameUnreadable;
    budget.take(*length + 1ull);
    char* name = static_cast<char*>(pixel::heapAlloc(static_cast<std::size_t>(*length) + 1));
    if (!name) throw failure::NameUnreadable;
    if (*length && !in.read(offset + 4, name, *length)) {
        pixel::heapFree(name);
        throw failure::NameUnreadable;
    }
    name[*length] = 0;
    return name;
}

CKACFrame* readFrame(FileWindow& in, TVN_DWORD offset, MemoryBudget& budget) {
    if (!inFile(in, offset, kFrameFixedSize)) throw failure::FramesNotCreated;
    budget.take(kFrameCost);
    TVN_DWORD length = 0;
    char* name = readName(in, offset, &length, budget);
    FRAME_FIELDS fields = {};
    if (!in.readFrameFields(offset, length, FieldsStamp, &fields)) {
        pixel::heapFree(name);
        throw failure::TimestampUnreadable;
    }
    try {
        return new CKACFrame(name, length, fields.lastWrite);
    } catch (const std::bad_alloc&) {
        pixel::heapFree(name);
        throw failure::FramesNotCreated;
    }
}

void readEntry(FileWindow& in, TVN_DWORD offset, MemoryBudget& budget, KAC_ENTRY_LIST& entries) {
    if (!inFile(in, offset, kEntryFixedSize)) throw failure::LengthUnreadable;
    budget.take(kEntryCost);
    TVN_DWORD length = 0, frames = 0;
    char* name = readName(in, offset, &length, budget);
    std::unique_ptr<CKACEntry> entry;
    try {
        entry.reset(new CKACEntry(name, length));
    } catch (const std::bad_alloc&) {
        pixel::heapFree(name);
        throw failure::FramesNotCreated;
    }
    const TVN_DWORD countAt = offset + 4 + length;
    if (!inFile(in, offset, entryRecordSize(length, 0)) || !in.readU32(countAt, &frames))
        throw failure::FrameCountUnreadable;
    if (!inFile(in, offset, entryRecordSize(length, frames))) throw failure::OffsetTableUnreadable;
    budget.take(frames * kFrameCost);

    pixel::HeapBlock table(pixel::heapAlloc(static_cast<std::size_t>(frames) * 4));
    if (!table.get() || (frames && !in.read(countAt + 4, table.get(), frames * 4)))
        throw failure::OffsetTableUnreadable;
    try {
        entry->m_vecFrames.reserve(frames);
    } catch (const std::bad_alloc&) {
        throw failure::FramesNotCreated;
    }
    for (TVN_DWORD k = 0; k < frames; ++k) {
        const TVN_DWORD frameOffset = getU32(table.as<unsigned char>() + k * 4);
        entry->m_vecFrames.push_back(std::make_pair(readFrame(in, frameOffset, budget), frameOffset));
    }
    entries.push_back(std::make_pair(entry.release(), offset)); // room reserved by the list: cannot throw
}

} // namespace

char* copyName(const char* name, TVN_DWORD length, const char* failure) {
    char* copy = static_cast<char*>(pixel::heapAlloc(static_cast<std::size_t>(length) + 1));
    if (!copy) throw failure;
    if (length) std::memcpy(copy, name, length);
    copy[length] = '\0';
    return copy;
}

void deleteEntries(KAC_ENTRY_LIST& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) delete entries[i].first;
    entries.clear();
}

void readEntryList(HANDLE file, KAC_ENTRY_LIST& entries) {
    const TVN_DWORD size = plat::fileSize(file);
    if (size == plat::kInvalidFileSize || size < kEmptyCacheSize) throw failure::BadCache;
    FileWindow in(file, size);
    char magic[kMagicSize];
    if (!in.read(0, magic, kMagicSize) || std::memcmp(magic, kMagic, kMagicSize) != 0) throw failure::BadCache;
    TVN_DWORD count = 0;
    if (!in.readU32(size - 4, &count) || count > (size - kEmptyCacheSize) / 4) throw failure::BadCache;
    MemoryBudget budget(size);
    budget.take(count * kEntryCost);
    pixel::HeapBlock table(pixel::heapAlloc(static_cast<std::size_t>(count) * 4));
    if (!table.get() || (count && !in.read(size - 4 - 4 * count, table.get(), count * 4))) throw failure::BadCache;
    try {
        entries.reserve(entries.size() + count); // once: entry by entry would copy the list each time
    } catch (const std::bad_alloc&) {
        throw failure::FramesNotCreated;
    }
    for (TVN_DWORD i = 0; i < count; ++i) readEntry(in, getU32(table.as<unsigned char>() + i * 4), budget, entries);
}

} // namespace cache
} // namespace tvn
