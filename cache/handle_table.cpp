#include "cache/handle_table.h"
#include "cache/cache_file.h"
#include "cache/failures.h"
#include "platform/message_record.h"
#include "platform/platform.h"

#include <cstring>
#include <new>

CKACHandleTable::CKACHandleTable() : m_mapFiles(), m_lock() {}

CKACHandleTable::~CKACHandleTable() {
    for (std::map<TVN_DWORD, CKACFile*>::iterator it = m_mapFiles.begin(); it != m_mapFiles.end(); ++it)
        delete it->second;
}

TVN_DWORD CKACHandleTable::open(const char* name, int writable) {
    if (!name) return 0;
    // Held across the search, the open and the insertion, so two threads opening
    // the same name cannot both miss it.
    tvn::plat::LockHold guard(m_lock);
    for (std::map<TVN_DWORD, CKACFile*>::iterator it = m_mapFiles.begin(); it != m_mapFiles.end(); ++it) {
        CKACFile* file = it->second;
        if (std::strcmp(file->fileName(), name) != 0) continue;
        if (file->ownerThread() != tvn::plat::threadCurrentId() || file->isWritable() != writable || file->busy())
            return 0;
        return it->first;
    }
    const unsigned long since = tvn::plat::messageSequence();
    CKACFile* file = nullptr;
    try {
        file = new CKACFile(name, writable);
        m_mapFiles.insert(std::make_pair(file->handle(), file));
        return file->handle();
    } catch (const char* text) {
        tvn::cache::recordFailure(text, since);
    } catch (const std::bad_alloc&) {
        tvn::cache::recordFailure(tvn::cache::failure::OpenFailed, since);
    }
    delete file;
    return 0;
}

int CKACHandleTable::close(TVN_DWORD handle) {
    CKACFile* file = nullptr;
    {
        tvn::plat::LockHold guard(m_lock);
        std::map<TVN_DWORD, CKACFile*>::iterator it = m_mapFiles.find(handle);
        if (it == m_mapFiles.end() || it->second->ownerThread() != tvn::plat::threadCurrentId() || it->second->busy())
            return 0;
        file = it->second;
        m_mapFiles.erase(it);
    }
    delete file;
    return 1;
}

CKACFile* CKACHandleTable::find(TVN_DWORD handle) {
    tvn::plat::LockHold guard(m_lock);
    std::map<TVN_DWORD, CKACFile*>::iterator it = m_mapFiles.find(handle);
    if (it == m_mapFiles.end() || it->second->ownerThread() != tvn::plat::threadCurrentId()) return nullptr;
    return it->second;
}
