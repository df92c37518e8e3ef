// The handles of one reader-writer: numbers to the cache files opened under them.
// A file belongs to the thread that opened it; on any other thread its handle is
// unknown. The table is guarded by its own lock, so several host threads may use
// one reader-writer at once; the lock is held only to find, add or remove a file,
// never while a file is read or saved (only the owner thread can reach a file, so
// no one else can close it meanwhile).
#ifndef TIVORN_CACHE_HANDLE_TABLE_H
#define TIVORN_CACHE_HANDLE_TABLE_H

#include <map>

#include "platform/threads.h"

class CKACFile;

class CKACHandleTable {
public:
    CKACHandleTable();
    virtual ~CKACHandleTable(); // closes every file still open, whichever thread opened it

    // The handle of `name` opened with `writable`: the existing one when this
    // thread has it open with the same flag, 0 when another thread has it open or
    // the flag differs, else a new file's handle (0 when it cannot be opened).
    TVN_DWORD open(const char* name, int writable);
    int close(TVN_DWORD handle);
    // The file behind `handle` when the calling thread owns it, else null.
    CKACFile* find(TVN_DWORD handle);

private:
    CKACHandleTable(const CKACHandleTable&);
    CKACHandleTable& operator=(const CKACHandleTable&);

    std::map<TVN_DWORD, CKACFile*> m_mapFiles;
    tvn::plat::RecursiveLock m_lock;
};

#endif
