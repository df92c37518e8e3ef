// What the calling thread was last told through the message sink, so that an
// interface without message boxes (the C interface) can hand the text back.
#ifndef TIVORN_PLATFORM_MESSAGE_RECORD_H
#define TIVORN_PLATFORM_MESSAGE_RECORD_H

namespace tvn {
namespace plat {

// Messages shown on this thread so far; a change across a call means it showed one.
unsigned long messageCount();
// The text of this thread's last message ("" before the first).
const char* lastMessage();

} // namespace plat
} // namespace tvn

#endif
