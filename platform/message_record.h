// What the calling thread was last told of a failure: the text of its last
// message box, or of a failure the library records without a box (the cache's),
// so that an interface without message boxes (the C interface) can hand the
// text back. Every record takes the next number of one process-wide sequence; a
// caller reads the sequence before an operation (one relaxed load, cheap enough
// for every call) and, only when the operation failed, asks whether this
// thread's last record came after it.
#ifndef TIVORN_PLATFORM_MESSAGE_RECORD_H
#define TIVORN_PLATFORM_MESSAGE_RECORD_H

#include <atomic>

namespace tvn {
namespace plat {

extern std::atomic<unsigned long> g_messageSequence;

// The number the next record of any thread will follow.
inline unsigned long messageSequence() { return g_messageSequence.load(std::memory_order_relaxed); }
// The number of this thread's last record (0 before the first) and its text.
unsigned long lastMessageNumber();
const char* lastMessage();
// Records text as this thread's last failure without showing it.
void recordFailure(const char* text);

} // namespace plat
} // namespace tvn

#endif
