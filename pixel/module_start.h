// Module start and the message table.
#ifndef TIVORN_MODULE_START_H
#define TIVORN_MODULE_START_H

namespace tvn {

const unsigned kAttachProcess = 1;
const unsigned kAttachThread = 2;
const int kMessageCount = 10;
const int kMessageSize = 260;

// Called by the platform on every attach and detach; fills the table once.
void moduleAttach(void* module, unsigned reason);

// The buffer of message n (1..10).
char* messageText(int n);

// Throws the buffer of message n as a char* (the failure convention of the image code).
[[noreturn]] void throwMessage(int n);
// Throws the empty text that marks corrupt packed data.
[[noreturn]] void throwEmpty();

} // namespace tvn

#endif
