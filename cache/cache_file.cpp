// The cache file object: opening, the entry list, adding and deleting entries and
// the frame queries. Saving is in cache_save.cpp.
#include "cache/cache_file.h"
#include "cache/cache_format.h"
#include "cache/file_window.h"
#include "pixel/heap.h"
#include "pixel/rle_packets.h"
#include "tivorn/image.h"
#include "platform/files.h"
#include "platform/threads.h"
#include "sequence/frame_names.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

using namespace tvn;

std::atomic<TVN_DWORD> CKACFile::s_dwNextHandle{1};

CKACFrame::CKACFrame(const char* name, TVN_DWORD nameLength, const FILETIME& lastWrite)
    : m_pszFileName(cache::copyName(name, nameLength, "Failed to create frames")), m_dwNameLength(nameLength),
      m_ftLastWrite(lastWrite) {}

CKACFrame::~CKACFrame() {
    pixel::heapFree(m_pszFileName);
}

CKACEntry::CKACEntry(const char* name, TVN_DWORD nameLength)
    : m_pszFileName(cache::copyName(name, nameLength, "Failed to load file")), m_dwNameLength(nameLength),
      m_vecFrames() {}

CKACEntry::~CKACEntry() {
    for (std::size_t i = 0; i < m_vecFrames.size(); ++i) delete m_vecFrames[i].first;
    pixel::heapFree(m_pszFileName);
}

CKACFile::CKACFile(const char* fileName, int writable)
    : m_hFile(INVALID_HANDLE_VALUE), m_pszFileName(nullptr), m_dwOwnerThread(0), m_dwHandle(0),
      m_bWritable(writable), m_vecEntries(), m_vecPacked() {
    if (!fileName) throw "Error opening file";
    m_hFile = plat::fileOpen(fileName, writable ? plat::FileReadWriteCreate : plat::FileReadShared);
    if (m_hFile == INVALID_HANDLE_VALUE) throw "Error opening file";
    try {
        if (!writable && !cache::readEntryList(m_hFile, m_vecEntries)) throw "Bad cache file";
        m_pszFileName = cache::copyName(fileName, static_cast<TVN_DWORD>(std::strlen(fileName)), "Error opening file");
    } catch (...) {
        // A failed open keeps nothing: the handle is closed, entries read are freed.
        cache::deleteEntries(m_vecEntries);
        plat::fileClose(m_hFile);
        throw;
    }
    m_dwOwnerThread = plat::threadCurrentId();
    m_dwHandle = s_dwNextHandle.fetch_add(1);
}

CKACFile::~CKACFile() {
    pixel::heapFree(m_pszFileName);
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
    if (h == INVALID_HANDLE_VALUE) return 0;
    plat::fileClose(m_hFile);
    m_hFile = h;
    m_bWritable = 1;
    return 1;
}

int CKACFile::reread() {
    KAC_ENTRY_LIST fresh;
    if (!cache::readEntryList(m_hFile, fresh)) {
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
    if (h == INVALID_HANDLE_VALUE) throw "Error opening file";
    FILETIME t;
    const int ok = plat::fileLastWriteTime(h, &t);
    plat::fileClose(h);
    if (!ok) throw "Error reading timestamp";
    return t;
}

// Builds an entry from the frame sequence that starts at `name`: names and time
// stamps only; no picture is decoded.
CKACEntry* buildEntry(const char* name) {
    FRAME_NAME_LIST names;
    sequence::enumerateFrameFiles(name, names);
    if (names.empty()) throw "Error enumerating frames";
    std::unique_ptr<CKACEntry> entry;
    try {
        entry.reset(new CKACEntry(name, static_cast<TVN_DWORD>(std::strlen(name))));
        entry->m_vecFrames.reserve(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            const FILETIME t = lastWriteTime(names[i]);
            entry->m_vecFrames.push_back(
                std::make_pair(new CKACFrame(names[i], static_cast<TVN_DWORD>(std::strlen(names[i])), t), 0u));
        }
    } catch (...) {
        sequence::freeFrameNames(names);
        throw "Failed to load file";
    }
    sequence::freeFrameNames(names);
    return entry.release();
}

} // namespace

int CKACFile::addEntry(const char* imageFileName) {
    if (!imageFileName) return 0;
    try {
        std::unique_ptr<CKACEntry> entry(buildEntry(imageFileName));
        m_vecEntries.push_back(std::make_pair(entry.get(), 0u));
        entry.release();
        return 1;
    } catch (const char*) {
        return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
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

bool CKACFile::readFrameHead(const std::pair<CKACFrame*, TVN_DWORD>& frame, TVN_DWORD* w, TVN_DWORD* h,
                             TVN_DWORD* packedLength) {
    const unsigned long long at = static_cast<unsigned long long>(frame.second) + 4 + frame.first->m_dwNameLength + 8;
    const TVN_DWORD size = plat::fileSize(m_hFile);
    if (size == plat::kInvalidFileSize || at + 12 > size) return false;
    unsigned char fields[12];
    if (!cache::readAt(m_hFile, static_cast<TVN_DWORD>(at), fields, 12)) return false;
    *w = cache::getU32(fields);
    *h = cache::getU32(fields + 4);
    *packedLength = cache::getU32(fields + 8);
    return *packedLength <= size - (at + 12);
}

int CKACFile::frameSize(std::size_t entry, std::size_t frame, TVN_DWORD* width, TVN_DWORD* height) {
    const std::pair<CKACFrame*, TVN_DWORD>* f = frameAt(entry, frame);
    if (!f || !width || !height) return 0;
    TVN_DWORD w = 0, h = 0, s = 0;
    if (f->second == 0) {
        CRGBAImage source;
        if (!source.load(f->first->m_pszFileName, 0)) return 0;
        w = source.getWidth();
        h = source.getHeight();
    } else if (!readFrameHead(*f, &w, &h, &s)) {
        return 0;
    }
    *width = w;
    *height = h;
    return 1;
}

int CKACFile::frameData(std::size_t entry, std::size_t frame, TVN_DWORD* pixels) {
    const std::pair<CKACFrame*, TVN_DWORD>* f = frameAt(entry, frame);
    if (!f || !pixels) return 0;
    try {
        if (f->second == 0) {
            CRGBAImage source;
            if (!source.load(f->first->m_pszFileName, 0)) return 0;
            std::memcpy(pixels, source.getBuffer(),
                        static_cast<std::size_t>(source.getWidth()) * source.getHeight() * 4);
            return 1;
        }
        TVN_DWORD w = 0, h = 0, s = 0;
        if (!readFrameHead(*f, &w, &h, &s) || s == 0) return 0;
        const unsigned long long count = static_cast<unsigned long long>(w) * h;
        if (count > cache::maxPackedPixels(s) || count > static_cast<std::size_t>(-1) / 4) return 0;
        const TVN_DWORD at = f->second + 4 + f->first->m_dwNameLength + cache::kFrameFixedSize - 4;
        return readPacked(at, s, pixels, static_cast<std::size_t>(count)) ? 1 : 0;
    } catch (...) {
        return 0; // no memory for the read block, or the source picture's copy failed
    }
}

bool CKACFile::readPacked(TVN_DWORD at, TVN_DWORD length, TVN_DWORD* pixels, std::size_t count) {
    // Blocks small enough to stay in the processor's cache between the read and the
    // unpacking, plus room for a packet cut off at the end of a block.
    const std::size_t kBlock = 256 * 1024, kLongestPacket = pixel::RlePacketDecoder::kLongestPacket;
    if (m_vecPacked.size() < kBlock + kLongestPacket) m_vecPacked.resize(kBlock + kLongestPacket);
    if (!plat::fileSeekTo(m_hFile, at)) return false;
    pixel::RlePacketDecoder unpacker(pixels, count);
    std::size_t held = 0;
    TVN_DWORD left = length;
    while (left > 0) {
        const TVN_DWORD want = static_cast<TVN_DWORD>(left < kBlock ? left : kBlock);
        TVN_DWORD got = 0;
        if (!plat::fileRead(m_hFile, m_vecPacked.data() + held, want, &got) || got != want) return false;
        held += want;
        left -= want;
        const std::size_t used = unpacker.feed(m_vecPacked.data(), held);
        if (used == pixel::RlePacketDecoder::kFault) return false;
        std::memmove(m_vecPacked.data(), m_vecPacked.data() + used, held - used);
        held -= used;
    }
    return held == 0 && unpacker.complete();
}
