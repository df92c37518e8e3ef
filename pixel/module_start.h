// Module start and the message table.
#ifndef TIVORN_MODULE_START_H
#define TIVORN_MODULE_START_H

namespace tvn::pixel {

const unsigned kAttachProcess = 1;
const unsigned kAttachThread = 2;
const int kMessageCount = 10;
const int kMessageSize = 260;

// Called by the platform on every attach and detach; fills the table once.
void moduleAttach(void* module, unsigned reason);
// Called by the platform when the process ends with the library loaded: the
// system has already stopped every other thread, so none is waited for.
void processEnding();
bool isProcessEnding();

// The messages by name, numbered as in the string table.
enum class Msg : int {
#define TVN_MESSAGE(n, name, text) name = n,
#include "resources/messages.inc"
#undef TVN_MESSAGE
};

// The buffer of a message; by number (1..10) for walks over the table.
char* messageText(Msg m);
char* messageText(int n);

// The texts of failed animation cache operations, filled at the same attach
// from the string table: what the host is told for each.
enum class CacheMsg : int {
#define TVN_CACHE_MESSAGE(n, name, thrown, text) name = n,
#include "resources/cache_messages.inc"
#undef TVN_CACHE_MESSAGE
};
const char* cacheMessageText(CacheMsg m);

// Throws the buffer of a message as a char* (the failure convention of the image code).
[[noreturn]] void throwMessage(Msg m);
// Throws the empty text that marks corrupt packed data.
[[noreturn]] void throwEmpty();

} // namespace tvn::pixel

#endif
