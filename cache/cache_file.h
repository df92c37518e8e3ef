// One open animation cache file in memory: its entries (animations) and their
// frames, each tied to its source picture file and to its record in the cache.
// Offsets link memory and file: set when the file is read or an entry is saved,
// 0 for what is not in the file yet (no record can start at 0, the magic is there).
//
// Failures inside are short English texts (cache/failures.h) thrown as const
// char* and caught at the edge of each operation, which returns its failure
// value and records the text for hosts that ask for it.
#ifndef TIVORN_CACHE_FILE_H
#define TIVORN_CACHE_FILE_H

#include <atomic>
#include <utility>
#include <vector>

#include "tivorn/cache.h"

class CKACFrame {
public:
    // Takes over name, a zero-terminated block of the library's heap.
    CKACFrame(char* name, TVN_DWORD nameLength, const FILETIME& lastWrite);
    virtual ~CKACFrame();

    char* m_pszFileName;      // source picture file, zero-terminated
    TVN_DWORD m_dwNameLength; // its length in the file (names may hold zero bytes)
    FILETIME m_ftLastWrite;   // of the source, when the frame was made from it

private:
    CKACFrame(const CKACFrame&);
    CKACFrame& operator=(const CKACFrame&);
};

class CKACEntry {
public:
    // Takes over name, a zero-terminated block of the library's heap.
    CKACEntry(char* name, TVN_DWORD nameLength);
    virtual ~CKACEntry();

    char* m_pszFileName; // the name the entry was added under
    TVN_DWORD m_dwNameLength;
    std::vector<std::pair<CKACFrame*, TVN_DWORD> > m_vecFrames; // owned frames, record offsets

private:
    CKACEntry(const CKACEntry&);
    CKACEntry& operator=(const CKACEntry&);
};

typedef std::vector<std::pair<CKACEntry*, TVN_DWORD> > KAC_ENTRY_LIST;

class CKACFile {
public:
    // Opens (writable: creates when missing, reads nothing) or throws
    // "Error opening file" / "Bad cache file". A journal left by a save that was
    // cut off is played back first (cache/journal.h).
    CKACFile(const char* fileName, int writable);
    virtual ~CKACFile();

    const char* fileName() const { return m_pszFileName; }
    unsigned long ownerThread() const { return m_dwOwnerThread; }
    TVN_DWORD handle() const { return m_dwHandle; }
    int isWritable() const { return m_bWritable; }
    TVN_DWORD fileSize() const;
    std::size_t numEntries() const { return m_vecEntries.size(); }
    const CKACEntry* entry(std::size_t index) const;

    // True while an operation on the file runs: a call from inside it (a save's
    // progress callback, a message proc while a source picture loads) finds the
    // file busy and fails without touching anything.
    bool busy() const { return m_bBusy; }

    int reopenAsWritable();
    int reread();
    int addEntry(const char* imageFileName);
    int deleteEntry(std::size_t index);
    int frameSize(std::size_t entry, std::size_t frame, TVN_DWORD* width, TVN_DWORD* height);
    int frameData(std::size_t entry, std::size_t frame, TVN_DWORD* pixels);
    const char* frameName(std::size_t entry, std::size_t frame) const;
    int save(KAC_PROGRESS_PROC progress, void* user);

private:
    friend class CKACBusy;
    CKACFile(const CKACFile&);
    CKACFile& operator=(const CKACFile&);

    const std::pair<CKACFrame*, TVN_DWORD>* frameAt(std::size_t entry, std::size_t frame) const;
    void saveEntries(KAC_PROGRESS_PROC progress, void* user);

    HANDLE m_hFile;
    char* m_pszFileName;
    char* m_pszJournalName; // NAME.journal
    unsigned long m_dwOwnerThread;
    TVN_DWORD m_dwHandle;
    int m_bWritable;
    bool m_bBusy;
    KAC_ENTRY_LIST m_vecEntries;

    static std::atomic<TVN_DWORD> s_dwNextHandle;
};

// Marks a file busy for the length of an operation.
class CKACBusy {
public:
    explicit CKACBusy(CKACFile& file) : m_file(file) { m_file.m_bBusy = true; }
    ~CKACBusy() { m_file.m_bBusy = false; }

private:
    CKACBusy(const CKACBusy&);
    CKACBusy& operator=(const CKACBusy&);
    CKACFile& m_file;
};

namespace tvn {
namespace cache {

// Fills `entries` from the cache file behind `file` or throws why it cannot
// (entries it appended stay there, for the caller to delete). Every count,
// length and offset is checked against the file's size before anything is
// allocated for it.
void readEntryList(HANDLE file, KAC_ENTRY_LIST& entries);
void deleteEntries(KAC_ENTRY_LIST& entries);
// A zero-terminated heap copy of `length` bytes; throws `failure` when out of memory.
char* copyName(const char* name, TVN_DWORD length, const char* failure);

} // namespace cache
} // namespace tvn

#endif
