// Why a cache operation failed. Inside the subsystem a failure is one of these
// short English texts, thrown and caught at the edge of the operation; there it
// becomes the operation's failure value, and its Russian text (of the string
// table) is recorded as the thread's failure for hosts that read it
// (tvn_cache_last_error), unless a message box of the operation (a source
// picture that did not load) has told them already.
#ifndef TIVORN_CACHE_FAILURES_H
#define TIVORN_CACHE_FAILURES_H

#include <new>

#include "platform/message_record.h"

namespace tvn {
namespace cache {

namespace failure {
#define TVN_CACHE_MESSAGE(n, name, thrown, text) inline constexpr char name[] = thrown;
#include "resources/cache_messages.inc"
#undef TVN_CACHE_MESSAGE
} // namespace failure

// Records the host's text of `thrown` unless the thread recorded a failure after
// `since` (plat::messageSequence(), read when the operation began).
void recordFailure(const char* thrown, unsigned long since);

// Runs op (which returns the operation's result) at the edge of an operation:
// a thrown text, or no memory (recorded as noMemory), becomes the result 0.
template <class Op> int recordingFailure(const char* noMemory, Op op) {
    const unsigned long since = plat::messageSequence();
    try {
        return op();
    } catch (const char* text) {
        recordFailure(text, since);
    } catch (const std::bad_alloc&) {
        recordFailure(noMemory, since);
    }
    return 0;
}

} // namespace cache
} // namespace tvn

#endif
