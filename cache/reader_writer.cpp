// The exported reader-writer: each operation finds the calling thread's file for
// the handle and hands over to it; a handle that is unknown, 0 or another
// thread's, or whose file is busy with an operation that called back into the
// host, gives the failure value. Nothing is thrown to the host.
#include "tivorn/cache.h"
#include "cache/cache_file.h"
#include "cache/handle_table.h"

#include <new>

namespace {

// The calling thread's file behind handle when none of its operations runs.
CKACFile* idle(CKACHandleTable* table, TVN_DWORD handle) {
    CKACFile* f = table->find(handle);
    return f && !f->busy() ? f : nullptr;
}

// Runs op on the idle file behind handle, marked busy meanwhile.
template <class Op> int whileBusy(CKACHandleTable* table, TVN_DWORD handle, Op op) {
    CKACFile* f = idle(table, handle);
    if (!f) return 0;
    CKACBusy busy(*f);
    return op(*f);
}

} // namespace

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
    return whileBusy(m_pHandleTable, handle, [](CKACFile& f) { return f.reopenAsWritable(); });
}

int CKACReaderWriter::reopen(TVN_DWORD handle) {
    return whileBusy(m_pHandleTable, handle, [](CKACFile& f) { return f.reread(); });
}

int CKACReaderWriter::isWritable(TVN_DWORD handle) {
    CKACFile* f = idle(m_pHandleTable, handle);
    return f ? f->isWritable() : 0;
}

const char* CKACReaderWriter::getFileName(TVN_DWORD handle) {
    CKACFile* f = idle(m_pHandleTable, handle);
    return f ? f->fileName() : nullptr;
}

TVN_DWORD CKACReaderWriter::getFileSize(TVN_DWORD handle) {
    CKACFile* f = idle(m_pHandleTable, handle);
    return f ? f->fileSize() : 0;
}

int CKACReaderWriter::getNumCacheEntries(TVN_DWORD handle) {
    CKACFile* f = idle(m_pHandleTable, handle);
    return f ? static_cast<int>(f->numEntries()) : -1;
}

int CKACReaderWriter::getCacheEntryInfo(TVN_DWORD handle, unsigned int entry, KAC_ENTRY_INFO* info) {
    if (!info) return 0;
    CKACFile* f = idle(m_pHandleTable, handle);
    const CKACEntry* e = f ? f->entry(entry) : nullptr;
    if (!e) return 0;
    info->pszFileName = e->m_pszFileName;
    info->nNumFrames = static_cast<TVN_DWORD>(e->m_vecFrames.size());
    return 1;
}

int CKACReaderWriter::saveCacheFile(TVN_DWORD handle, KAC_PROGRESS_PROC progress, void* user) {
    return whileBusy(m_pHandleTable, handle, [&](CKACFile& f) { return f.save(progress, user); });
}

int CKACReaderWriter::addEntry(TVN_DWORD handle, const char* imageFileName) {
    return whileBusy(m_pHandleTable, handle, [&](CKACFile& f) { return f.addEntry(imageFileName); });
}

int CKACReaderWriter::deleteEntry(TVN_DWORD handle, unsigned int entry) {
    return whileBusy(m_pHandleTable, handle, [&](CKACFile& f) { return f.deleteEntry(entry); });
}

int CKACReaderWriter::getFrameSize(TVN_DWORD handle, unsigned int entry, unsigned int frame, TVN_DWORD* width,
                                   TVN_DWORD* height) {
    return whileBusy(m_pHandleTable, handle, [&](CKACFile& f) { return f.frameSize(entry, frame, width, height); });
}

int CKACReaderWriter::getFrameData(TVN_DWORD handle, unsigned int entry, unsigned int frame, TVN_DWORD* pixels) {
    return whileBusy(m_pHandleTable, handle, [&](CKACFile& f) { return f.frameData(entry, frame, pixels); });
}

const char* CKACReaderWriter::getFrameName(TVN_DWORD handle, unsigned int entry, unsigned int frame) {
    CKACFile* f = idle(m_pHandleTable, handle);
    return f ? f->frameName(entry, frame) : nullptr;
}
