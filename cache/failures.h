// Why a cache operation failed. Inside the subsystem a failure is one of these
// short English texts, thrown and caught at the edge of the operation; there it
// becomes the operation's failure value, and its Russian text (of the string
// table) is recorded as the thread's failure for hosts that read it
// (tvn_cache_last_error), unless a message box of the operation (a source
// picture that did not load) has told them already.
#ifndef TIVORN_CACHE_FAILURES_H
#define TIVORN_CACHE_FAILURES_H

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

} // namespace cache
} // namespace tvn

#endif
