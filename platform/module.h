// The module the library is: its string table and its message boxes.
#ifndef TIVORN_PLATFORM_MODULE_H
#define TIVORN_PLATFORM_MODULE_H

#include "tivorn/types.h"

namespace tvn {
namespace plat {

// Fills buffer with string `id` of the library's string table.
// Returns the number of bytes stored (0 when the string is missing).
int loadString(void* module, unsigned id, char* buffer, int bufferSize);
void* moduleInstance();

// A message box (caption "tivorn.dll", stop icon, OK only; owner may be null)
// through the environment's message hook, recorded as this thread's last
// failure first (platform/message_record.h).
void showMessage(const char* text, HWND owner);

} // namespace plat
} // namespace tvn

#endif
