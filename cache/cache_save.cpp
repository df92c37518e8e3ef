// Saving a cache file. Entries still where they would be written are stepped over;
// from the first entry that is not, everything is written again from the source
// pictures, then the entry table and the count, and the file is cut there.
//
// A save that fails (a source picture that does not load, a failed write, the
// callback asking to stop) leaves the file byte for byte as it was and the
// entries with the offsets they had, so the same save can simply be tried again;
// a save cut off by the end of the process leaves it so after the next open.
// The bytes a save may change are kept in its rollback journal (cache/journal.h)
// before any of them is overwritten. The frames are loaded and packed on the
// worker pool and written in order; a save holds two packed frames for each of
// the pool's threads and fixed buffers, whatever the size of the cache.
#include "cache/cache_file.h"
#include "cache/cache_format.h"
#include "cache/failures.h"
#include "cache/file_window.h"
#include "cache/journal.h"
#include "pixel/heap.h"
#include "pixel/worker_pool.h"
#include "platform/files.h"
#include "platform/message_record.h"
#include "platform/threads.h"
#include "tivorn/image.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

using namespace tvn;
using namespace tvn::cache;

namespace {

// Sequential writes gathered into large blocks; big blocks go straight through.
// What is written is handed to the disk every few megabytes, so that the sync
// at the end of a save finds little left to wait for.
class BlockWriter {
public:
    explicit BlockWriter(HANDLE file)
        : m_file(file), m_position(0), m_buffer(pixel::heapAlloc(kCapacity)), m_held(0), m_backFrom(0), m_backBytes(0) {
        if (!m_buffer.get()) throw failure::WriteFailed;
    }

    TVN_DWORD position() const { return m_position; }
    void seek(TVN_DWORD position) {
        flush();
        if (!plat::fileSeekTo(m_file, position)) throw failure::WriteFailed;
        m_position = position;
    }
    void put(const void* data, TVN_DWORD size) {
        if (size > 0xFFFFFFFEu - m_position) throw failure::WriteFailed; // offsets are 32 bits
        if (m_held + size > kCapacity) flush();
        if (size >= kCapacity) {
            if (!plat::fileWriteAll(m_file, data, size)) throw failure::WriteFailed;
            written(m_position, size);
        } else {
            std::memcpy(m_buffer.as<unsigned char>() + m_held, data, size);
            m_held += size;
        }
        m_position += size;
    }
    void putWord(TVN_DWORD value) {
        unsigned char bytes[4];
        putU32(bytes, value);
        put(bytes, 4);
    }
    void flush() {
        if (!m_held) return;
        const TVN_DWORD size = static_cast<TVN_DWORD>(m_held);
        const bool ok = plat::fileWriteAll(m_file, m_buffer.get(), size);
        m_held = 0;
        if (!ok) throw failure::WriteFailed;
        written(m_position - size, size);
    }

private:
    static const std::size_t kCapacity = 1 << 20;
    static const TVN_DWORD kWriteBackBytes = 8u << 20;

    void written(TVN_DWORD at, TVN_DWORD size) {
        if (m_backBytes && at != m_backFrom + m_backBytes) writeBack();
        if (!m_backBytes) m_backFrom = at;
        m_backBytes += size;
        if (m_backBytes >= kWriteBackBytes) writeBack();
    }
    void writeBack() {
        plat::fileWriteBack(m_file, m_backFrom, m_backBytes);
        m_backBytes = 0;
    }

    HANDLE m_file;
    TVN_DWORD m_position;
    pixel::HeapBlock m_buffer;
    std::size_t m_held;
    TVN_DWORD m_backFrom, m_backBytes;
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
bool stepOver(FileWindow& in, const std::pair<CKACEntry*, TVN_DWORD>& entry, TVN_DWORD* position) {
    const CKACEntry* e = entry.first;
    if (entry.second != *position) return false;
    unsigned long long at =
        *position + entryRecordSize(e->m_dwNameLength, static_cast<TVN_DWORD>(e->m_vecFrames.size()));
    for (std::size_t k = 0; k < e->m_vecFrames.size(); ++k) {
        const std::pair<CKACFrame*, TVN_DWORD>& f = e->m_vecFrames[k];
        FRAME_FIELDS fields = {};
        if (f.second != at || !in.readFrameFields(f.second, f.first->m_dwNameLength, FieldsSizeAndLength, &fields))
            return false;
        at = frameRecordSize(f.first->m_dwNameLength, fields.packedLength) + f.second;
        if (at > in.fileSize()) return false;
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
        if (proc && !proc(user, done + k, total)) throw failure::SaveStopped;
    }
    void report() {
        if (proc) proc(user, done, total);
    }
};

void freePacked(unsigned char* p) {
    CRGBAImage::freeRLEBuffer(p);
}

// A frame loaded from its source and packed, waiting to be written.
struct PackedFrame {
    bool loaded = false;
    TVN_DWORD width = 0, height = 0;
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> packed{nullptr, freePacked};
    TVN_DWORD length = 0; // 0: the picture did not pack, and is kept empty
};

// Loads and packs a source picture; a frame that does not load (or finds no
// memory for its picture) stays not loaded.
void packFrame(const CKACFrame& frame, PackedFrame& out) {
    try {
        CRGBAImage image;
        if (!image.load(frame.m_pszFileName, 0)) return;
        unsigned char* packed = nullptr;
        const TVN_DWORD length = image.compressRLE(&packed);
        out.packed.reset(packed);
        out.length = packed ? length : 0;
        out.width = image.getWidth();
        out.height = image.getHeight();
        out.loaded = true;
    } catch (...) {
    }
}

void writeFrame(BlockWriter& out, const CKACFrame& frame, const PackedFrame& packed) {
    if (!packed.loaded) throw failure::LoadFailed;
    const FRAME_FIELDS fields = {frame.m_ftLastWrite, packed.width, packed.height, packed.length};
    out.putWord(frame.m_dwNameLength);
    out.put(frame.m_pszFileName, frame.m_dwNameLength);
    unsigned char bytes[kFrameFieldsSize];
    putFrameFields(bytes, fields);
    out.put(bytes, kFrameFieldsSize);
    if (fields.packedLength) out.put(packed.packed.get(), fields.packedLength);
}

// The frames of an entry loaded and packed on the worker pool while the saving
// thread writes them in order, reports each written frame and acts on a stop.
// At most `ring` frames are packed ahead of the last one written, so a save
// holds that many packed frames whatever the size of the entry. When no
// helper comes, the saving thread packs them itself, one after another.
// What runs ahead of the writer is also held to kAheadBytes: packed frames that
// wait, and for each frame being packed its picture and packed bytes (taken as
// twice the largest picture packed so far; until one is, a single frame is
// packed at a time). Many cores or large frames then cannot take a 32-bit
// process's address space; the frame the writer needs next is always packed.
class FramePipeline : public pixel::BandWork {
    static constexpr unsigned long long kAheadBytes = (sizeof(void*) == 4 ? 128ull : 512ull) << 20;

public:
    FramePipeline(CKACEntry& entry, BlockWriter& out, unsigned char* slots, Progress& progress,
                  std::vector<PackedFrame>& ring)
        : m_entry(entry), m_out(out), m_slots(slots), m_progress(progress), m_ring(ring),
          m_frames(static_cast<unsigned>(entry.m_vecFrames.size())), m_next(0), m_written(0), m_ready(ring.size(), 0),
          m_stopped(false), m_failure(nullptr), m_packing(0), m_heldBytes(0), m_pictureBytes(0), m_sized(false) {}

    void serve(pixel::BandCursor& cursor) override {
        if (cursor.onCaller()) {
            write(cursor);
        } else {
            unsigned k;
            while (take(cursor, &k, true)) pack(k);
        }
    }
    const char* failure() const { return m_failure; }

private:
    // The next frame to pack: waits (or not) for room in the ring.
    bool take(pixel::BandCursor& cursor, unsigned* k, bool wait) {
        plat::LockHold hold(m_lock);
        while (!m_stopped && m_next < m_frames && !roomAhead()) {
            if (!wait) return false;
            m_roomOrReady.wait(m_lock);
        }
        if (m_stopped || m_next >= m_frames || !cursor.next(k)) return false;
        m_next = *k + 1;
        ++m_packing;
        return true;
    }
    // With m_lock held: may frame m_next be packed now?
    bool roomAhead() const {
        if (m_next == m_written) return true; // the writer's next frame
        if (m_next >= m_written + m_ring.size() || !m_sized) return false;
        return m_heldBytes + (m_packing + 1ull) * 2 * m_pictureBytes <= kAheadBytes;
    }
    void pack(unsigned k) {
        PackedFrame& frame = m_ring[k % m_ring.size()];
        packFrame(*m_entry.m_vecFrames[k].first, frame);
        {
            plat::LockHold hold(m_lock);
            m_ready[k % m_ring.size()] = 1;
            --m_packing;
            m_heldBytes += frame.length;
            m_pictureBytes = std::max(m_pictureBytes, 4ull * frame.width * frame.height);
            m_sized = true;
        }
        m_roomOrReady.wakeAll();
    }
    // The saving thread: writes each frame once it is packed, packing one itself
    // whenever nothing is ready and there is room.
    void write(pixel::BandCursor& cursor) {
        while (m_written < m_frames) {
            bool ready;
            {
                plat::LockHold hold(m_lock);
                ready = m_ready[m_written % m_ring.size()] != 0;
            }
            if (!ready) {
                unsigned k;
                if (take(cursor, &k, false)) {
                    pack(k);
                    continue;
                }
                plat::LockHold hold(m_lock);
                while (!m_ready[m_written % m_ring.size()]) m_roomOrReady.wait(m_lock);
                continue;
            }
            PackedFrame& frame = m_ring[m_written % m_ring.size()];
            const TVN_DWORD length = frame.length;
            try {
                m_entry.m_vecFrames[m_written].second = m_out.position();
                putU32(m_slots + m_written * 4, m_out.position());
                writeFrame(m_out, *m_entry.m_vecFrames[m_written].first, frame);
                frame = PackedFrame(); // written: its memory goes now
                m_progress.frameWritten(m_written);
            } catch (const char* text) {
                stop(cursor, text);
                return;
            }
            {
                plat::LockHold hold(m_lock);
                m_ready[m_written % m_ring.size()] = 0;
                m_heldBytes -= length;
                ++m_written;
            }
            m_roomOrReady.wakeAll();
        }
    }
    void stop(pixel::BandCursor& cursor, const char* why) {
        {
            plat::LockHold hold(m_lock);
            m_failure = why;
            m_stopped = true;
        }
        cursor.stop();
        m_roomOrReady.wakeAll();
    }

    CKACEntry& m_entry;
    BlockWriter& m_out;
    unsigned char* m_slots;
    Progress& m_progress;
    std::vector<PackedFrame>& m_ring;
    const unsigned m_frames;
    plat::RecursiveLock m_lock;
    plat::Condition m_roomOrReady;
    unsigned m_next;    // the next frame to pack
    unsigned m_written; // frames written
    std::vector<char> m_ready;
    bool m_stopped;
    const char* m_failure;
    unsigned m_packing;                  // frames taken and not yet packed
    unsigned long long m_heldBytes;      // packed bytes waiting in the ring
    unsigned long long m_pictureBytes;   // the largest picture packed so far
    bool m_sized;                        // a frame has been packed
};

void writeEntry(BlockWriter& out, std::pair<CKACEntry*, TVN_DWORD>& entry, Progress& progress) {
    CKACEntry& e = *entry.first;
    const TVN_DWORD frames = static_cast<TVN_DWORD>(e.m_vecFrames.size());
    entry.second = out.position();
    out.putWord(e.m_dwNameLength);
    out.put(e.m_pszFileName, e.m_dwNameLength);
    out.putWord(frames);
    const TVN_DWORD table = out.position();
    if (4ull * frames > 0xFFFFFFFEu - table) throw failure::WriteFailed;
    // The table is written once its frames have their places.
    out.seek(table + 4 * frames);
    pixel::HeapBlock slots(pixel::heapAlloc(static_cast<std::size_t>(frames) * 4));
    if (!slots.get()) throw failure::WriteFailed;
    if (frames) {
        pixel::WorkerPool* pool = pixel::processPool();
        const unsigned threads = pool ? pool->count() : 1;
        std::vector<PackedFrame> ring;
        try {
            ring.resize(2 * threads);
        } catch (const std::bad_alloc&) {
            throw failure::WriteFailed;
        }
        FramePipeline pipeline(e, out, slots.as<unsigned char>(), progress, ring);
        pixel::runBands(pipeline, frames, threads - 1);
        if (pipeline.failure()) throw pipeline.failure();
    }
    const TVN_DWORD end = out.position();
    out.seek(table);
    out.put(slots.get(), frames * 4);
    out.seek(end);
    progress.done += frames;
    progress.report();
}

} // namespace

void CKACFile::saveEntries(KAC_PROGRESS_PROC progressProc, void* user) {
    const TVN_DWORD oldSize = plat::fileSize(m_hFile);
    if (oldSize == plat::kInvalidFileSize) throw failure::WriteFailed;
    Progress progress = {progressProc, user, 0, 0};
    for (std::size_t i = 0; i < m_vecEntries.size(); ++i)
        progress.total += static_cast<unsigned int>(m_vecEntries[i].first->m_vecFrames.size());

    std::vector<TVN_DWORD> oldOffsets;
    try {
        oldOffsets = takeOffsets(m_vecEntries);
    } catch (const std::bad_alloc&) {
        throw failure::WriteFailed;
    }
    // The leading run of entries still in place is only stepped over.
    TVN_DWORD position = kMagicSize;
    std::size_t i = 0;
    {
        FileWindow in(m_hFile, oldSize);
        for (; i < m_vecEntries.size() && stepOver(in, m_vecEntries[i], &position); ++i) {
            progress.done += static_cast<unsigned int>(m_vecEntries[i].first->m_vecFrames.size());
            progress.report();
        }
    }

    journalWrite(m_pszJournalName, m_hFile, oldSize, position);
    try {
        BlockWriter out(m_hFile);
        out.seek(0);
        out.put(kMagic, kMagicSize);
        out.seek(position);
        for (; i < m_vecEntries.size(); ++i) writeEntry(out, m_vecEntries[i], progress);
        progress.report();
        for (std::size_t e = 0; e < m_vecEntries.size(); ++e) out.putWord(m_vecEntries[e].second);
        out.putWord(static_cast<TVN_DWORD>(m_vecEntries.size()));
        out.flush();
        // Removing the journal is what makes the new file the one a later open sees.
        if (!plat::fileTruncate(m_hFile) || !plat::fileSync(m_hFile) || !plat::fileRemove(m_pszJournalName))
            throw failure::WriteFailed;
    } catch (...) {
        journalPlayBack(m_pszJournalName, m_hFile);
        putOffsets(m_vecEntries, oldOffsets);
        throw;
    }
}

int CKACFile::save(KAC_PROGRESS_PROC progress, void* user) {
    return recordingFailure(failure::WriteFailed, [&] {
        if (!m_bWritable) throw failure::ReadOnly;
        saveEntries(progress, user);
        return 1;
    });
}
