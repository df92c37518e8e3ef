// The C interface's animations: each function calls one member of CRGBAImageSet.
// Any thread may use a set (frames load on the host's threads and the
// preloader's), so the text of a failure is kept per thread, with the set it
// came from, as for caches.
#include "capi/c_handles.h"

using tvn::capi::guarded;

namespace {

thread_local const tvn_image_set* t_failedSet = nullptr;
thread_local tvn::capi::ErrorText t_error;

tvn_status make(tvn_image_set** out, const tvn_image_set* from, const char* fileName) {
    if (!out) return TVN_BAD_ARG;
    *out = nullptr;
    try {
        *out = from ? new tvn_image_set(*from) : new tvn_image_set(fileName);
        return TVN_OK;
    } catch (...) {
        return TVN_EXCEPTION;
    }
}

template <class Member>
tvn_status on(tvn_image_set* handle, Member member) {
    if (!handle) return TVN_BAD_ARG;
    const tvn_status status = guarded(t_error, [&] { return member(handle->set); });
    if (status != TVN_OK) t_failedSet = handle;
    return status;
}

} // namespace

extern "C" {

TVN_API tvn_status TVN_CDECL tvn_image_set_open(const char* fileName, tvn_image_set** out) {
    if (!fileName) return TVN_BAD_ARG;
    return make(out, nullptr, fileName);
}
TVN_API tvn_status TVN_CDECL tvn_image_set_copy(const tvn_image_set* set, tvn_image_set** out) {
    if (!set) return TVN_BAD_ARG;
    return make(out, set, nullptr);
}
TVN_API void TVN_CDECL tvn_image_set_destroy(tvn_image_set* set) {
    if (t_failedSet == set) t_failedSet = nullptr;
    delete set;
}
TVN_API const char* TVN_CDECL tvn_image_set_last_error(const tvn_image_set* set) {
    return set && set == t_failedSet ? t_error.text : "";
}
TVN_API unsigned int TVN_CDECL tvn_image_set_frame_count(tvn_image_set* set) {
    unsigned int count = 0;
    on(set, [&](CRGBAImageSet& s) {
        count = s.getNumFrames();
        return 1;
    });
    return count;
}
TVN_API tvn_status TVN_CDECL tvn_image_set_frame(tvn_image_set* set, unsigned int index, tvn_image** frame) {
    if (!frame) return TVN_BAD_ARG;
    *frame = nullptr;
    return on(set, [&](CRGBAImageSet& s) {
        CRGBAImage* image = s.getFrame(index);
        if (!image) return 0;
        tvn::plat::LockHold hold(set->framesLock);
        if (set->frames.size() <= index) set->frames.resize(index + 1);
        std::unique_ptr<tvn_image>& slot = set->frames[index];
        if (!slot) slot.reset(new tvn_image);
        slot->image = image;
        *frame = slot.get();
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_set_keep_ready(tvn_image_set* set, unsigned int n) {
    return on(set, [&](CRGBAImageSet& s) {
        s.keepReady(n);
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_set_memory_budget(tvn_image_set* set, TVN_UINT64 bytes) {
    return on(set, [&](CRGBAImageSet& s) { return s.setMemoryBudget(bytes); });
}
TVN_API tvn_status TVN_CDECL tvn_image_set_preload_all(tvn_image_set* set) {
    return on(set, [](CRGBAImageSet& s) {
        s.preloadAll();
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_set_preload_frames(tvn_image_set* set) {
    return on(set, [](CRGBAImageSet& s) {
        s.preloadFrames();
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_set_preload_callback(tvn_image_set* set, tvn_preload_proc proc, void* user) {
    return on(set, [&](CRGBAImageSet& s) {
        s.setPreloadCallback(proc, user);
        return 1;
    });
}

} // extern "C"
