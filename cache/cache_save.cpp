// Saving a cache file. Entries still where they would be written are stepped over;
// from the first entry that is not, everything is written again from the source
// pictures, then the entry table and the count, and the file is cut there.
//
// A save that fails (a source picture that does not load, a failed write, the
// callback asking to stop) leaves the file byte for byte as it was and the
// entries with the offsets they had, so the same save can simply be tried again.
// To make that so, the old bytes from the first rewritten position to the end
// (for an append, only the old tables) and the 19 head bytes are kept aside in
// memory before anything is written, and put back on failure.
#include "cache/cache_file.h"
#include "cache/cache_format.h"
#include "cache/file_window.h"
#include "tivorn/image.h"
#include "platform/files.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

using namespace tvn;
using namespace tvn::cache;

namespace {

const char kWriteFailed[] = "Error writing file";

// Sequential writes gathered into large blocks; big blocks go straight through.
class BlockWriter {
public:
    explicit BlockWriter(HANDLE file) : m_file(file), m_position(0), m_buffer() { m_buffer.reserve(kCapacity); }

    TVN_DWORD position() const { return m_position; }
    void seek(TVN_DWORD position) {
        flush();
        if (!plat::fileSeekTo(m_file, position)) throw kWriteFailed;
        m_position = position;
    }
    void put(const void* data, TVN_DWORD size) {
        if (size > 0xFFFFFFFEu - m_position) throw kWriteFailed; // offsets are 32 bits
        if (m_buffer.size() + size > kCapacity) flush();
        if (size >= kCapacity) {
            if (!plat::fileWriteAll(m_file, data, size)) throw kWriteFailed;
        } else {
            const unsigned char* p = static_cast<const unsigned char*>(data);
            m_buffer.insert(m_buffer.end(), p, p + size);
        }
        m_position += size;
    }
    void putWord(TVN_DWORD value) {
        unsigned char bytes[4];
        putU32(bytes, value);
        put(bytes, 4);
    }
    void flush() {
        if (m_buffer.empty()) return;
        const bool ok = plat::fileWriteAll(m_file, m_buffer.data(), static_cast<TVN_DWORD>(m_buffer.size()));
        m_buffer.clear();
        if (!ok) throw kWriteFailed;
    }

private:
    static const std::size_t kCapacity = 1 << 20;
    HANDLE m_file;
    TVN_DWORD m_position;
    std::vector<unsigned char> m_buffer;
};

// The bytes a save may overwrite, kept so that a failed save can put them back.
class Rollback {
public:
    Rollback(HANDLE file, TVN_DWORD oldSize, TVN_DWORD firstRewritten)
        : m_file(file), m_oldSize(oldSize), m_tailStart(firstRewritten), m_head(), m_tail() {}

    bool keep() {
        m_head.resize(m_oldSize < kMagicSize ? m_oldSize : kMagicSize);
        if (!m_head.empty() && !readAt(m_file, 0, m_head.data(), static_cast<TVN_DWORD>(m_head.size()))) return false;
        if (m_tailStart >= m_oldSize) return true;
        m_tail.resize(m_oldSize - m_tailStart);
        return readAt(m_file, m_tailStart, m_tail.data(), static_cast<TVN_DWORD>(m_tail.size()));
    }
    void restore() {
        if (!m_head.empty() && plat::fileSeekTo(m_file, 0))
            plat::fileWriteAll(m_file, m_head.data(), static_cast<TVN_DWORD>(m_head.size()));
        if (!m_tail.empty() && plat::fileSeekTo(m_file, m_tailStart))
            plat::fileWriteAll(m_file, m_tail.data(), static_cast<TVN_DWORD>(m_tail.size()));
        if (plat::fileSeekTo(m_file, m_oldSize)) plat::fileTruncate(m_file);
    }

private:
    HANDLE m_file;
    TVN_DWORD m_oldSize;
    TVN_DWORD m_tailStart;
    std::vector<unsigned char> m_head;
    std::vector<unsigned char> m_tail;
};

// Every entry and frame offset, to be put back after a failed save.
std::vector<TVN_DWORD> takeOffsets(const KAC_ENTRY_LIST& entries) {
    std::vector<TVN_DWORD> offsets;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        offsets.push_back(entries[i].second);
        const CKACEntry* e = entries[i].first;
        for (std::size_t k = 0; k < e->m_vecFrames.size(); ++k) offsets.push_back(e->m_vecFrames[k].second);
    }
    return offsets;
}

void putOffsets(KAC_ENTRY_LIST& entries, const std::vector<TVN_DWORD>& offsets) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].second = offsets[n++];
        CKACEntry* e = entries[i].first;
        for (std::size_t k = 0; k < e->m_vecFrames.size(); ++k) e->m_vecFrames[k].second = offsets[n++];
    }
}

// True when the entry lies at `position` exactly as the save would write it, its
// frames back to back after its table; `position` then moves past its last frame.
// Only W, H and S of each frame are read.
bool stepOver(HANDLE file, TVN_DWORD size, const std::pair<CKACEntry*, TVN_DWORD>& entry, TVN_DWORD* position) {
    const CKACEntry* e = entry.first;
    if (entry.second != *position) return false;
    unsigned long long at = *position + entryRecordSize(e->m_dwNameLength, static_cast<TVN_DWORD>(e->m_vecFrames.size()));
    for (std::size_t k = 0; k < e->m_vecFrames.size(); ++k) {
        const std::pair<CKACFrame*, TVN_DWORD>& f = e->m_vecFrames[k];
        if (f.second != at) return false;
        const unsigned long long fields = at + 4 + f.first->m_dwNameLength + 8;
        unsigned char whs[12];
        if (fields + 12 > size || !readAt(file, static_cast<TVN_DWORD>(fields), whs, 12)) return false;
        at = fields + 12 + getU32(whs + 8);
        if (at > size) return false;
    }
    *position = static_cast<TVN_DWORD>(at);
    return true;
}

struct Progress {
    KAC_PROGRESS_PROC proc;
    void* user;
    unsigned int done;
    unsigned int total;
    // Only the calls after each written frame may stop the save.
    void frameWritten(unsigned int k) {
        if (proc && !proc(user, done + k, total)) throw "Save stopped";
    }
    void report() {
        if (proc) proc(user, done, total);
    }
};

void freePacked(unsigned char* p) {
    CRGBAImage::freeRLEBuffer(p);
}

void writeFrame(BlockWriter& out, CKACFrame& frame) {
    CRGBAImage image;
    if (!image.load(frame.m_pszFileName, 0)) throw "Failed to load file";
    unsigned char* packedBlock = nullptr;
    const TVN_DWORD packedLength = image.compressRLE(&packedBlock);
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> packed(packedBlock, freePacked);
    const TVN_DWORD s = packed ? packedLength : 0; // a picture that does not pack is kept empty
    out.putWord(frame.m_dwNameLength);
    out.put(frame.m_pszFileName, frame.m_dwNameLength);
    unsigned char fields[20];
    putFileTime(fields, frame.m_ftLastWrite);
    putU32(fields + 8, image.getWidth());
    putU32(fields + 12, image.getHeight());
    putU32(fields + 16, s);
    out.put(fields, sizeof fields);
    if (s) out.put(packed.get(), s);
}

void writeEntry(BlockWriter& out, std::pair<CKACEntry*, TVN_DWORD>& entry, Progress& progress) {
    CKACEntry& e = *entry.first;
    const TVN_DWORD frames = static_cast<TVN_DWORD>(e.m_vecFrames.size());
    entry.second = out.position();
    out.putWord(e.m_dwNameLength);
    out.put(e.m_pszFileName, e.m_dwNameLength);
    out.putWord(frames);
    const TVN_DWORD table = out.position();
    if (4ull * frames > 0xFFFFFFFEu - table) throw kWriteFailed;
    // The table is written once its frames have their places.
    out.seek(table + 4 * frames);
    std::vector<unsigned char> slots(static_cast<std::size_t>(frames) * 4);
    for (TVN_DWORD k = 0; k < frames; ++k) {
        e.m_vecFrames[k].second = out.position();
        putU32(&slots[k * 4], out.position());
        writeFrame(out, *e.m_vecFrames[k].first);
        progress.frameWritten(k);
    }
    const TVN_DWORD end = out.position();
    out.seek(table);
    out.put(slots.data(), static_cast<TVN_DWORD>(slots.size()));
    out.seek(end);
    progress.done += frames;
    progress.report();
}

} // namespace

int CKACFile::save(KAC_PROGRESS_PROC progressProc, void* user) {
    if (!m_bWritable) return 0;
    const TVN_DWORD oldSize = plat::fileSize(m_hFile);
    if (oldSize == plat::kInvalidFileSize) return 0;
    Progress progress = {progressProc, user, 0, 0};
    for (std::size_t i = 0; i < m_vecEntries.size(); ++i)
        progress.total += static_cast<unsigned int>(m_vecEntries[i].first->m_vecFrames.size());

    std::vector<TVN_DWORD> oldOffsets;
    try {
        oldOffsets = takeOffsets(m_vecEntries);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // The leading run of entries still in place is only stepped over.
    TVN_DWORD position = kMagicSize;
    std::size_t i = 0;
    for (; i < m_vecEntries.size() && stepOver(m_hFile, oldSize, m_vecEntries[i], &position); ++i) {
        progress.done += static_cast<unsigned int>(m_vecEntries[i].first->m_vecFrames.size());
        progress.report();
    }

    Rollback rollback(m_hFile, oldSize, position);
    try {
        if (!rollback.keep()) return 0;
        BlockWriter out(m_hFile);
        out.seek(0);
        out.put(kMagic, kMagicSize);
        out.seek(position);
        for (; i < m_vecEntries.size(); ++i) writeEntry(out, m_vecEntries[i], progress);
        progress.report();
        for (std::size_t e = 0; e < m_vecEntries.size(); ++e) out.putWord(m_vecEntries[e].second);
        out.putWord(static_cast<TVN_DWORD>(m_vecEntries.size()));
        out.flush();
        if (!plat::fileTruncate(m_hFile)) throw kWriteFailed;
        return 1;
    } catch (...) {
        rollback.restore();
        putOffsets(m_vecEntries, oldOffsets);
        return 0;
    }
}
