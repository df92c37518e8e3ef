// The objects behind the C interface's opaque handles, and the one wrapper every
// C function runs its class call in.
#ifndef TIVORN_CAPI_C_HANDLES_H
#define TIVORN_CAPI_C_HANDLES_H

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/message_record.h"
#include "platform/threads.h"
#include "tivorn.h"

namespace tvn {
namespace capi {

// A failure's text, kept in place: recording it never allocates, so it cannot fail.
struct ErrorText {
    char text[512] = "";
    void set(const char* what) {
        std::strncpy(text, what ? what : "", sizeof text - 1);
        text[sizeof text - 1] = 0;
    }
};

// Runs call (which returns the class's success flag) and turns its outcome into a
// status: a false result takes the text of the message it showed, if any; a
// thrown text or allocation failure becomes TVN_EXCEPTION with that text.
template <class Call>
tvn_status guarded(ErrorText& error, Call call) {
    const unsigned long before = plat::messageSequence();
    try {
        if (call()) return TVN_OK;
        error.set(plat::lastMessageNumber() > before ? plat::lastMessage() : "");
        return TVN_FAILED;
    } catch (const char* text) {
        error.set(text);
    } catch (...) {
        error.set("");
    }
    return TVN_EXCEPTION;
}

} // namespace capi
} // namespace tvn

// A picture of its own, or a frame borrowed from an image set.
struct tvn_image {
    std::unique_ptr<CRGBAImage> owned;
    CRGBAImage* image = nullptr;
    tvn::capi::ErrorText error;
};

struct tvn_image_set {
    CRGBAImageSet set;
    // One borrowed handle per frame index, made on first use; guarded, as any
    // thread may ask for frames.
    std::vector<std::unique_ptr<tvn_image> > frames;
    tvn::plat::RecursiveLock framesLock;
    explicit tvn_image_set(const char* fileName) : set(fileName) {}
    tvn_image_set(const tvn_image_set& other) : set(other.set) {}
};

struct tvn_cache {
    CKACReaderWriter cache;
};

#endif
