// Reading a cache file's entry list: names, counts, offsets and time stamps only.
// The packed pixels are read when a frame's pixels are asked for.
#include "cache/cache_file.h"
#include "cache/cache_format.h"
#include "cache/file_window.h"
#include "pixel/heap.h"
#include "platform/files.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace tvn {
namespace cache {

namespace {

// What the records read so far claim of the file's body. Records never overlap in
// a file any writer makes, so their sizes together cannot exceed the body; a file
// claiming more (two entries sharing records, say) is refused before anything is
// allocated for the excess. This keeps memory linear in the file's size.
class BodyBudget {
public:
    explicit BodyBudget(unsigned long long bytes) : m_left(bytes) {}
    bool fits(unsigned long long bytes) const { return bytes <= m_left; }
    void take(unsigned long long bytes, const char* failure) {
        if (bytes > m_left) throw failure;
        m_left -= bytes;
    }

private:
    unsigned long long m_left;
};

struct Body {
    TVN_DWORD start; // the first byte after the magic
    TVN_DWORD end;   // the entry offset table
};

// Checks that a record of `size` bytes at `offset` lies inside the body.
bool inBody(const Body& body, TVN_DWORD offset, unsigned long long size) {
    return offset >= body.start && offset <= body.end && size <= body.end - offset;
}

void readName(FileWindow& in, TVN_DWORD offset, const Body& body, TVN_DWORD* length, std::string& name) {
    if (!in.readU32(offset, length)) throw "Error reading string length";
    if (!inBody(body, offset, 4ull + *length)) throw "Error reading image file name";
    name.resize(*length);
    if (*length && !in.read(offset + 4, &name[0], *length)) throw "Error reading image file name";
}

CKACFrame* readFrame(FileWindow& in, TVN_DWORD offset, const Body& body, BodyBudget& budget, std::string& name) {
    if (!inBody(body, offset, kFrameFixedSize)) throw "Failed to create frames";
    TVN_DWORD length = 0;
    readName(in, offset, body, &length, name);
    if (!inBody(body, offset, frameRecordSize(length, 0))) throw "Error reading timestamp";
    budget.take(frameRecordSize(length, 0), "Failed to create frames");
    unsigned char stamp[8];
    if (!in.read(offset + 4 + length, stamp, 8)) throw "Error reading timestamp";
    return new CKACFrame(name.data(), length, getFileTime(stamp));
}

void readEntry(FileWindow& in, TVN_DWORD offset, const Body& body, BodyBudget& budget, KAC_ENTRY_LIST& entries) {
    std::string name;
    TVN_DWORD length = 0, frames = 0;
    if (!inBody(body, offset, kEntryFixedSize)) throw "Error reading string length";
    readName(in, offset, body, &length, name);
    const TVN_DWORD countAt = offset + 4 + length;
    if (!inBody(body, offset, entryRecordSize(length, 0)) || !in.readU32(countAt, &frames))
        throw "Failed to read number of frames";
    const unsigned long long recordSize = entryRecordSize(length, frames);
    if (!inBody(body, offset, recordSize)) throw "Failed to read offset table";
    budget.take(recordSize, "Failed to read offset table");
    if (!budget.fits(static_cast<unsigned long long>(frames) * kFrameFixedSize)) throw "Failed to read offset table";

    std::vector<unsigned char> table(static_cast<std::size_t>(frames) * 4);
    if (frames && !in.read(countAt + 4, table.data(), frames * 4)) throw "Failed to read offset table";

    entries.push_back(std::make_pair(static_cast<CKACEntry*>(nullptr), offset));
    CKACEntry* entry = new CKACEntry(name.data(), length);
    entries.back().first = entry;
    entry->m_vecFrames.reserve(frames);
    for (TVN_DWORD k = 0; k < frames; ++k) {
        const TVN_DWORD frameOffset = getU32(&table[k * 4]);
        entry->m_vecFrames.push_back(std::make_pair(readFrame(in, frameOffset, body, budget, name), frameOffset));
    }
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

bool readEntryList(HANDLE file, KAC_ENTRY_LIST& entries) {
    try {
        const TVN_DWORD size = plat::fileSize(file);
        if (size == plat::kInvalidFileSize || size < kEmptyCacheSize) return false;
        FileWindow in(file, size);
        char magic[kMagicSize];
        if (!in.read(0, magic, kMagicSize) || std::memcmp(magic, kMagic, kMagicSize) != 0) return false;
        TVN_DWORD count = 0;
        if (!in.readU32(size - 4, &count) || count > (size - kEmptyCacheSize) / 4) return false;
        const Body body = {kMagicSize, size - 4 - 4 * count};
        BodyBudget budget(body.end - body.start);
        if (!budget.fits(static_cast<unsigned long long>(count) * kEntryFixedSize)) return false;
        std::vector<unsigned char> table(static_cast<std::size_t>(count) * 4);
        if (count && !in.read(body.end, table.data(), count * 4)) return false;
        for (TVN_DWORD i = 0; i < count; ++i) readEntry(in, getU32(&table[i * 4]), body, budget, entries);
        return true;
    } catch (const char*) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace cache
} // namespace tvn
