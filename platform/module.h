// The module the library is: its string table, its message boxes, its threads' ids.
#ifndef TIVORN_PLATFORM_MODULE_H
#define TIVORN_PLATFORM_MODULE_H

#include "tivorn/types.h"

namespace tvn {
namespace plat {

// Fills buffer with string `id` of the library's string table.
// Returns the number of bytes stored (0 when the string is missing).
int loadString(void* module, unsigned id, char* buffer, int bufferSize);
void* moduleInstance();

// Message boxes: caption "tivorn.dll", stop icon, OK only. owner may be null.
void showMessage(const char* text, HWND owner);
// The platform's own box, used when the host installed no message proc.
void defaultMessageBox(const char* text, const char* caption, HWND owner);

unsigned long currentThreadId();

} // namespace plat
} // namespace tvn

#endif
