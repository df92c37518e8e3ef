/* Animation cache files: whole animations, frames packed, in one file that a host
   reads frame by frame without decoding the source pictures again.

   The host creates a CKACReaderWriter, opens cache files through it and gets back
   handle numbers. A handle belongs to the thread that opened it; on any other
   thread it acts as an unknown handle. Handle numbers come from one process-wide
   counter: the first is 1, none is ever reused, 0 is never valid.

   Threads: several host threads may use one reader-writer at the same time, each
   with its own files; its table of handles is guarded by a lock and the counter is
   atomic. Destroying a reader-writer closes every file still open in it, whichever
   thread opened it, so no other thread may be using it then.

   Copies: a copy of a reader-writer starts with a fresh, empty table; assigning
   one reader-writer to another leaves the target's table and files as they were.
   Two reader-writers never share a table. */
#ifndef TIVORN_CACHE_H
#define TIVORN_CACHE_H

#include "types.h"

#ifdef __cplusplus
class CKACHandleTable;
#endif

/* One entry of a cache, as getCacheEntryInfo reports it. pszFileName points into
   the cache's own memory: valid until the entry is deleted, the file re-read
   (reopen) or closed. */
struct KAC_ENTRY_INFO {
    const char* pszFileName; /* the name the entry was added under */
    TVN_DWORD nNumFrames;
};

/* Progress of a save, in frames: done of total. Return 0 to stop the save while it
   writes frames; the save then fails and leaves the file as it was. */
typedef int (TVN_CDECL *KAC_PROGRESS_PROC)(void* user, unsigned int done, unsigned int total);

#ifdef __cplusplus
class TVN_API CKACReaderWriter {
public:
    CKACReaderWriter();
    CKACReaderWriter(const CKACReaderWriter& other);            /* a fresh, empty table */
    CKACReaderWriter& operator=(const CKACReaderWriter& other); /* keeps its own table */
    virtual ~CKACReaderWriter();

    /* Read-only opens read the file's entry list; writable opens create a missing
       file and start with no entries (the first save replaces what it held).
       The same name opened again on the same thread with the same flag gives the
       same handle. 0 on failure. */
    TVN_DWORD openFile(const char* fileName, int writable);
    int closeFile(TVN_DWORD handle);
    int reopenAsWritable(TVN_DWORD handle);
    /* Reads the entry list again from the file; on failure the old list stays. */
    int reopen(TVN_DWORD handle);
    int isWritable(TVN_DWORD handle);
    const char* getFileName(TVN_DWORD handle);
    TVN_DWORD getFileSize(TVN_DWORD handle);
    int getNumCacheEntries(TVN_DWORD handle); /* -1 for a bad handle */
    int getCacheEntryInfo(TVN_DWORD handle, unsigned int entry, KAC_ENTRY_INFO* info);
    /* Writes every entry not still in place from its source files. A save that
       fails (a source missing, a write failing, the callback stopping it) returns 0
       and leaves the file byte for byte and the entries as they were before it. */
    int saveCacheFile(TVN_DWORD handle, KAC_PROGRESS_PROC progress, void* user);
    /* Appends the numbered frame sequence that starts at imageFileName. */
    int addEntry(TVN_DWORD handle, const char* imageFileName);
    int deleteEntry(TVN_DWORD handle, unsigned int entry);
    int getFrameSize(TVN_DWORD handle, unsigned int entry, unsigned int frame, TVN_DWORD* width,
                     TVN_DWORD* height);
    /* pixels: width x height words, bottom row first. */
    int getFrameData(TVN_DWORD handle, unsigned int entry, unsigned int frame, TVN_DWORD* pixels);
    const char* getFrameName(TVN_DWORD handle, unsigned int entry, unsigned int frame);

private:
    CKACHandleTable* m_pHandleTable;
};

#endif /* __cplusplus */

#endif
