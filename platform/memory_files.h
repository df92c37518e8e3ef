// Files over memory blocks, shared by both platform layers. A memory file handle
// is the address of its state with bit 0 set, so it never equals a system handle
// (those are multiples of four on Windows and our own small objects on POSIX).
#ifndef TIVORN_MEMORY_FILES_H
#define TIVORN_MEMORY_FILES_H

#include "platform.h"

namespace tvn {
namespace plat {
namespace mem {

bool isMemoryHandle(HANDLE h);
HANDLE open(const char* path); // INVALID_HANDLE_VALUE when no such memory file
int read(HANDLE h, void* buffer, TVN_DWORD size, TVN_DWORD* got);
int seek(HANDLE h, long offset, SeekOrigin origin, TVN_DWORD* newPosition);
TVN_DWORD size(HANDLE h);
void close(HANDLE h);
bool exists(const char* path);

} // namespace mem
} // namespace plat
} // namespace tvn

#endif
