// The cache file object: opening, the entry list, adding and deleting entries and
// the frame queries. Saving is in cache_save.cpp.
#include "cache/cache_file.h"
#include "cache/cache_format.h"
#include "cache/failures.h"
#include "cache/file_window.h"
#include "cache/journal.h"
#include "pixel/heap.h"
#include "pixel/rle_packets.h"
#include "platform/files.h"
#include "platform/message_record.h"
#include "platform/threads.h"
#include "sequence/frame_names.h"
#include "tivorn/image.h"

#include <cstring>
#include <memory>
#include <new>

using namespace tvn;

std::atomic<TVN_DWORD> CKACFile::s_dwNextHandle{1};

CKACFrame::CKACFrame(char* name, TVN_DWORD nameLength, const FILETIME& lastWrite)
    : m_pszFileName(name), m_dwNameLength(nameLength), m_ftLastWrite(lastWrite) {}

CKACFrame::~CKACFrame() {
    pixel::heapFree(m_pszFileName);
}

CKACEntry::CKACEntry(char* name, TVN_DWORD nameLength)
    : m_pszFileName(name), m_dwNameLength(nameLength), m_vecFrames() {}

CKACEntry::~CKACEntry() {
    for (std::size_t i = 0; i < m_vecFrames.size(); ++i) delete m_vecFrames[i].first;
    pixel::heapFree(m_pszFileName);
}

namespace {

const char kJournalSuffix[] = ".journal";

char* journalNameOf(const char* fileName) {
    const std::size_t length = std::strlen(fileName);
    char* name = static_cast<char*>(pixel::heapAlloc(length + sizeof kJournalSuffix));
    if (!name) throw cache::failure::OpenFailed;
    std::memcpy(name, fileName, length);
    std::memcpy(name + length, kJournalSuffix, sizeof kJournalSuffix);
    return name;
}

// Plays back the journal of a save that was cut off, so that the file is
// exactly what it was before that save; refuses the file when that cannot be done.
void recoverFrom(const char* journal, const char* fileName, int writable) {
    if (!cache::journalPresent(journal)) return;
    plat::CPlatformFile file(plat::fileOpen(fileName, writable ? plat::FileReadWriteCreate : plat::FileReadWrite));
    if (!file.isOpen() || cache::journalPlayBack(journal, file.handle()) == cache::JournalUnusable)
        throw cache::failure::OpenFailed;
}

} // namespace

CKACFile::CKACFile(const char* fileName, int writable)
    : m_hFile(INVALID_HANDLE_VALUE), m_pszFileName(nullptr), m_pszJournalName(nullptr), m_dwOwnerThread(0),
      m_dwHandle(0), m_bWritable(writable), m_bBusy(false), m_vecEntries() {
    if (!fileName) throw cache::failure::OpenFailed;
    try {
        m_pszFileName = cache::copyName(fileName, static_cast<TVN_DWORD>(std::strlen(fileName)),
                                        cache::failure::OpenFailed);
        m_pszJournalName = journalNameOf(fileName);
        recoverFrom(m_pszJournalName, fileName, writable);
        m_hFile = plat::fileOpen(fileName, writable ? plat::FileReadWriteCreate : plat::FileReadShared);
        if (m_hFile == INVALID_HANDLE_VALUE) throw cache::failure::OpenFailed;
        if (!writable) {
            try {
                cache::readEntryList(m_hFile, m_vecEntries);
            } catch (const char*) {
                throw cache::failure::BadCache;
            }
        }
    } catch (...) {
        // A failed open keeps nothing: the handle is closed, entries read are freed.
        cache::deleteEntries(m_vecEntries);
        plat::fileClose(m_hFile);
        pixel::heapFree(m_pszJournalName);
        pixel::heapFree(m_pszFileName);
        throw;
    }
    m_dwOwnerThread = plat::threadCurrentId();
    m_dwHandle = s_dwNextHandle.fetch_add(1);
}

CKACFile::~CKACFile() {
    pixel::heapFree(m_pszFileName);
    pixel::heapFree(m_pszJournalName);
    plat::fileClose(m_hFile);
    cache::deleteEntries(m_vecEntries);
}

TVN_DWORD CKACFile::fileSize() const {
    return plat::fileSize(m_hFile);
}

const CKACEntry* CKACFile::entry(std::size_t index) const {
    return index < m_vecEntries.size() ? m_vecEntries[index].first : nullptr;
}

int CKACFile::reopenAsWritable() {
    if (m_bWritable) return 1;
    HANDLE h = plat::fileOpenReadWrite(m_pszFileName, 0);
    if (h == INVALID_HANDLE_VALUE) {
        cache::recordFailure(cache::failure::OpenFailed, plat::messageSequence());
        return 0;
    }
    plat::fileClose(m_hFile);
    m_hFile = h;
    m_bWritable = 1;
    return 1;
}

int CKACFile::reread() {
    KAC_ENTRY_LIST fresh;
    const int read = cache::recordingFailure(cache::failure::FramesNotCreated, [&] {
        cache::readEntryList(m_hFile, fresh);
        return 1;
    });
    if (!read) {
        cache::deleteEntries(fresh);
        return 0;
    }
    cache::deleteEntries(m_vecEntries);
    m_vecEntries.swap(fresh);
    return 1;
}

namespace {

FILETIME lastWriteTime(const char* name) {
    HANDLE h = plat::fileOpen(name, plat::FileQuery);
    if (h == INVALID_HANDLE_VALUE) throw cache::failure::OpenFailed;
    FILETIME t;
    const int ok = plat::fileLastWriteTime(h, &t);
    plat::fileClose(h);
    if (!ok) throw cache::failure::TimestampUnreadable;
    return t;
}

// Builds an entry from the frame sequence that starts at `name`: names and time
// stamps only; no picture is decoded. The listed names become the frames' own.
CKACEntry* buildEntry(const char* name) {
    FRAME_NAME_LIST names;
    sequence::enumerateFrameFiles(name, names);
    if (names.empty()) throw cache::failure::NoFrames;
    std::unique_ptr<CKACEntry> entry;
    std::size_t taken = 0;
    try {
        char* entryName = cache::copyName(name, static_cast<TVN_DWORD>(std::strlen(name)), cache::failure::LoadFailed);
        try {
            entry.reset(new CKACEntry(entryName, static_cast<TVN_DWORD>(std::strlen(name))));
        } catch (...) {
            pixel::heapFree(entryName);
            throw;
        }
        entry->m_vecFrames.reserve(names.size());
        for (; taken < names.size(); ++taken) {
            const FILETIME t = lastWriteTime(names[taken]);
            entry->m_vecFrames.push_back(std::make_pair(
                new CKACFrame(names[taken], static_cast<TVN_DWORD>(std::strlen(names[taken])), t), 0u));
        }
    } catch (...) {
        for (std::size_t i = taken; i < names.size(); ++i) sequence::freeFrameName(names[i]);
        throw cache::failure::LoadFailed;
    }
    return entry.release();
}

} // namespace

int CKACFile::addEntry(const char* imageFileName) {
    if (!imageFileName) return 0;
    return cache::recordingFailure(cache::failure::LoadFailed, [&] {
        std::unique_ptr<CKACEntry> entry(buildEntry(imageFileName));
        m_vecEntries.push_back(std::make_pair(entry.get(), 0u));
        entry.release();
        return 1;
    });
}

int CKACFile::deleteEntry(std::size_t index) {
    if (index >= m_vecEntries.size()) return 0;
    delete m_vecEntries[index].first;
    m_vecEntries.erase(m_vecEntries.begin() + static_cast<std::ptrdiff_t>(index));
    return 1;
}

const std::pair<CKACFrame*, TVN_DWORD>* CKACFile::frameAt(std::size_t entry, std::size_t frame) const {
    if (entry >= m_vecEntries.size()) return nullptr;
    const CKACEntry* e = m_vecEntries[entry].first;
    return frame < e->m_vecFrames.size() ? &e->m_vecFrames[frame] : nullptr;
}

const char* CKACFile::frameName(std::size_t entry, std::size_t frame) const {
    const std::pair<CKACFrame*, TVN_DWORD>* f = frameAt(entry, frame);
    return f ? f->first->m_pszFileName : nullptr;
}

int CKACFile::frameSize(std::size_t entry, std::size_t frame, TVN_DWORD* width, TVN_DWORD* height) {
    const std::pair<CKACFrame*, TVN_DWORD>* f = frameAt(entry, frame);
    if (!f || !width || !height) return 0;
    return cache::recordingFailure(cache::failure::FramesNotCreated, [&] {
        cache::FRAME_FIELDS fields = {};
        if (f->second == 0) {
            CRGBAImage source;
            if (!source.load(f->first->m_pszFileName, 0)) return 0;
            fields.width = source.getWidth();
            fields.height = source.getHeight();
        } else if (!cache::readFrameFieldsAt(m_hFile, plat::fileSize(m_hFile), f->second, f->first->m_dwNameLength,
                                             cache::FieldsSize, &fields)) {
            throw cache::failure::BadCache;
        }
        *width = fields.width;
        *height = fields.height;
        return 1;
    });
}

int CKACFile::frameData(std::size_t entry, std::size_t frame, TVN_DWORD* pixels) {
    const std::pair<CKACFrame*, TVN_DWORD>* f = frameAt(entry, frame);
    if (!f || !pixels) return 0;
    return cache::recordingFailure(cache::failure::FramesNotCreated, [&] {
        if (f->second == 0) {
            CRGBAImage source;
            if (!source.load(f->first->m_pszFileName, 0)) return 0;
            std::memcpy(pixels, source.getBuffer(),
                        static_cast<std::size_t>(source.getWidth()) * source.getHeight() * 4);
            return 1;
        }
        const TVN_DWORD size = plat::fileSize(m_hFile);
        cache::FRAME_FIELDS fields = {};
        if (!cache::readFrameFieldsAt(m_hFile, size, f->second, f->first->m_dwNameLength, cache::FieldsSizeAndLength,
                                      &fields))
            throw cache::failure::BadCache;
        const unsigned long long count = static_cast<unsigned long long>(fields.width) * fields.height;
        if (count == 0) return 1; // an empty frame: nothing to unpack
        const unsigned long long at = cache::frameFieldsAt(f->second, f->first->m_dwNameLength) + cache::kFrameFieldsSize;
        if (fields.packedLength == 0 || at + fields.packedLength > size ||
            count > cache::maxPackedPixels(fields.packedLength) || count > static_cast<std::size_t>(-1) / 4)
            throw cache::failure::BadCache;
        // The host's buffer is written only once the packets are known to make the
        // whole picture: read whole, checked, then unpacked.
        pixel::HeapBlock packed(pixel::heapAlloc(fields.packedLength));
        if (!packed.get()) throw cache::failure::FramesNotCreated;
        if (!cache::readAt(m_hFile, static_cast<TVN_DWORD>(at), packed.get(), fields.packedLength))
            throw cache::failure::BadCache;
        const unsigned char* bytes = packed.as<unsigned char>();
        pixel::RlePacketDecoder check(nullptr, static_cast<std::size_t>(count));
        if (check.feed(bytes, fields.packedLength) == pixel::RlePacketDecoder::kFault || !check.complete())
            throw cache::failure::BadCache;
        pixel::RlePacketDecoder unpack(pixels, static_cast<std::size_t>(count));
        unpack.feed(bytes, fields.packedLength);
        return 1;
    });
}
