// The exported reader-writer: each operation finds the calling thread's file for
// the handle and hands over to it; a handle that is unknown, 0 or another
// thread's gives the failure value. Nothing is thrown to the host.
#include "tivorn/cache.h"
#include "cache/cache_file.h"
#include "cache/handle_table.h"

#include <new>

CKACReaderWriter::CKACReaderWriter() : m_pHandleTable(new CKACHandleTable()) {}

CKACReaderWriter::CKACReaderWriter(const CKACReaderWriter&) : m_pHandleTable(new CKACHandleTable()) {}

CKACReaderWriter& CKACReaderWriter::operator=(const CKACReaderWriter&) {
    return *this;
}

CKACReaderWriter::~CKACReaderWriter() {
    delete m_pHandleTable;
}

TVN_DWORD CKACReaderWriter::openFile(const char* fileName, int writable) {
    return m_pHandleTable->open(fileName, writable);
}

int CKACReaderWriter::closeFile(TVN_DWORD handle) {
    return m_pHandleTable->close(handle);
}

int CKACReaderWriter::reopenAsWritable(TVN_DWORD handle) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->reopenAsWritable() : 0;
}

int CKACReaderWriter::reopen(TVN_DWORD handle) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->reread() : 0;
}

int CKACReaderWriter::isWritable(TVN_DWORD handle) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->isWritable() : 0;
}

const char* CKACReaderWriter::getFileName(TVN_DWORD handle) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->fileName() : nullptr;
}

TVN_DWORD CKACReaderWriter::getFileSize(TVN_DWORD handle) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->fileSize() : 0;
}

int CKACReaderWriter::getNumCacheEntries(TVN_DWORD handle) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? static_cast<int>(f->numEntries()) : -1;
}

int CKACReaderWriter::getCacheEntryInfo(TVN_DWORD handle, unsigned int entry, KAC_ENTRY_INFO* info) {
    if (!info) return 0;
    CKACFile* f = m_pHandleTable->find(handle);
    const CKACEntry* e = f ? f->entry(entry) : nullptr;
    if (!e) return 0;
    info->pszFileName = e->m_pszFileName;
    info->nNumFrames = static_cast<TVN_DWORD>(e->m_vecFrames.size());
    return 1;
}

int CKACReaderWriter::saveCacheFile(TVN_DWORD handle, KAC_PROGRESS_PROC progress, void* user) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->save(progress, user) : 0;
}

int CKACReaderWriter::addEntry(TVN_DWORD handle, const char* imageFileName) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->addEntry(imageFileName) : 0;
}

int CKACReaderWriter::deleteEntry(TVN_DWORD handle, unsigned int entry) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->deleteEntry(entry) : 0;
}

int CKACReaderWriter::getFrameSize(TVN_DWORD handle, unsigned int entry, unsigned int frame, TVN_DWORD* width,
                                   TVN_DWORD* height) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->frameSize(entry, frame, width, height) : 0;
}

int CKACReaderWriter::getFrameData(TVN_DWORD handle, unsigned int entry, unsigned int frame, TVN_DWORD* pixels) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->frameData(entry, frame, pixels) : 0;
}

const char* CKACReaderWriter::getFrameName(TVN_DWORD handle, unsigned int entry, unsigned int frame) {
    CKACFile* f = m_pHandleTable->find(handle);
    return f ? f->frameName(entry, frame) : nullptr;
}
