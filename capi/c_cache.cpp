// The C interface's animation caches: each function calls one member of
// CKACReaderWriter. A cache serves several threads at once, so the text of a
// failure is kept per thread (with the cache it came from), not in the handle.
#include "capi/c_handles.h"

using tvn::capi::guarded;

namespace {

thread_local const tvn_cache* t_failedCache = nullptr;
thread_local tvn::capi::ErrorText t_error;

template <class Member>
tvn_status on(tvn_cache* handle, Member member) {
    if (!handle) return TVN_BAD_ARG;
    tvn_status status = guarded(t_error, [&] { return member(handle->cache); });
    if (status != TVN_OK) t_failedCache = handle;
    return status;
}

} // namespace

extern "C" {

TVN_API tvn_status TVN_CDECL tvn_cache_create(tvn_cache** out) {
    if (!out) return TVN_BAD_ARG;
    *out = nullptr;
    try {
        *out = new tvn_cache;
        return TVN_OK;
    } catch (...) {
        return TVN_EXCEPTION;
    }
}
TVN_API void TVN_CDECL tvn_cache_destroy(tvn_cache* cache) {
    if (t_failedCache == cache) t_failedCache = nullptr;
    delete cache;
}
TVN_API const char* TVN_CDECL tvn_cache_last_error(const tvn_cache* cache) {
    return cache && cache == t_failedCache ? t_error.text : "";
}
TVN_API tvn_status TVN_CDECL tvn_cache_open(tvn_cache* cache, const char* fileName, int writable, TVN_DWORD* handle) {
    if (!handle) return TVN_BAD_ARG;
    return on(cache, [&](CKACReaderWriter& c) { return (*handle = c.openFile(fileName, writable)) != 0; });
}
TVN_API tvn_status TVN_CDECL tvn_cache_close(tvn_cache* cache, TVN_DWORD handle) {
    return on(cache, [&](CKACReaderWriter& c) { return c.closeFile(handle); });
}
TVN_API tvn_status TVN_CDECL tvn_cache_reopen_as_writable(tvn_cache* cache, TVN_DWORD handle) {
    return on(cache, [&](CKACReaderWriter& c) { return c.reopenAsWritable(handle); });
}
TVN_API tvn_status TVN_CDECL tvn_cache_reopen(tvn_cache* cache, TVN_DWORD handle) {
    return on(cache, [&](CKACReaderWriter& c) { return c.reopen(handle); });
}
TVN_API tvn_status TVN_CDECL tvn_cache_is_writable(tvn_cache* cache, TVN_DWORD handle, int* writable) {
    if (!writable) return TVN_BAD_ARG;
    return on(cache, [&](CKACReaderWriter& c) {
        *writable = c.isWritable(handle);
        return c.getFileName(handle) != nullptr;
    });
}
TVN_API const char* TVN_CDECL tvn_cache_file_name(tvn_cache* cache, TVN_DWORD handle) {
    const char* name = nullptr;
    return on(cache, [&](CKACReaderWriter& c) { return (name = c.getFileName(handle)) != nullptr; }) == TVN_OK
               ? name
               : nullptr;
}
TVN_API tvn_status TVN_CDECL tvn_cache_file_size(tvn_cache* cache, TVN_DWORD handle, TVN_DWORD* size) {
    if (!size) return TVN_BAD_ARG;
    return on(cache, [&](CKACReaderWriter& c) {
        *size = c.getFileSize(handle);
        return c.getFileName(handle) != nullptr;
    });
}
TVN_API tvn_status TVN_CDECL tvn_cache_entry_count(tvn_cache* cache, TVN_DWORD handle, unsigned int* count) {
    if (!count) return TVN_BAD_ARG;
    return on(cache, [&](CKACReaderWriter& c) {
        const int n = c.getNumCacheEntries(handle);
        *count = n < 0 ? 0u : static_cast<unsigned int>(n);
        return n >= 0;
    });
}
TVN_API tvn_status TVN_CDECL tvn_cache_entry_info(tvn_cache* cache, TVN_DWORD handle, unsigned int entry,
                                                  tvn_cache_entry* info) {
    if (!info) return TVN_BAD_ARG;
    return on(cache, [&](CKACReaderWriter& c) {
        KAC_ENTRY_INFO record = {nullptr, 0};
        const int ok = c.getCacheEntryInfo(handle, entry, &record);
        info->file_name = record.pszFileName;
        info->frame_count = record.nNumFrames;
        return ok;
    });
}
TVN_API tvn_status TVN_CDECL tvn_cache_save(tvn_cache* cache, TVN_DWORD handle, tvn_cache_progress_proc progress,
                                            void* user) {
    return on(cache, [&](CKACReaderWriter& c) { return c.saveCacheFile(handle, progress, user); });
}
TVN_API tvn_status TVN_CDECL tvn_cache_add_entry(tvn_cache* cache, TVN_DWORD handle, const char* imageFileName) {
    return on(cache, [&](CKACReaderWriter& c) { return c.addEntry(handle, imageFileName); });
}
TVN_API tvn_status TVN_CDECL tvn_cache_delete_entry(tvn_cache* cache, TVN_DWORD handle, unsigned int entry) {
    return on(cache, [&](CKACReaderWriter& c) { return c.deleteEntry(handle, entry); });
}
TVN_API tvn_status TVN_CDECL tvn_cache_frame_size(tvn_cache* cache, TVN_DWORD handle, unsigned int entry,
                                                  unsigned int frame, TVN_DWORD* width, TVN_DWORD* height) {
    return on(cache, [&](CKACReaderWriter& c) { return c.getFrameSize(handle, entry, frame, width, height); });
}
TVN_API tvn_status TVN_CDECL tvn_cache_frame_data(tvn_cache* cache, TVN_DWORD handle, unsigned int entry,
                                                  unsigned int frame, TVN_DWORD* pixels) {
    return on(cache, [&](CKACReaderWriter& c) { return c.getFrameData(handle, entry, frame, pixels); });
}
TVN_API const char* TVN_CDECL tvn_cache_frame_name(tvn_cache* cache, TVN_DWORD handle, unsigned int entry,
                                                   unsigned int frame) {
    const char* name = nullptr;
    return on(cache, [&](CKACReaderWriter& c) { return (name = c.getFrameName(handle, entry, frame)) != nullptr; }) ==
                   TVN_OK
               ? name
               : nullptr;
}

} // extern "C"
