// File calls the animation cache needs beyond the common ones of platform.h: the
// share modes of its opens, absolute positions up to 4 GB and a write path that
// tests can make fail.
#ifndef TIVORN_PLATFORM_CACHE_FILES_H
#define TIVORN_PLATFORM_CACHE_FILES_H

#include "platform/platform.h"

namespace tvn {
namespace plat {

// Read access, sharing read and write, existing file only (memory files too).
HANDLE cacheFileOpenShared(const char* path);
// No access rights (enough to ask for the file's times), sharing read and write,
// existing file only (memory files too).
HANDLE cacheFileOpenQuery(const char* path);
// Last-write time as a FILETIME: 100-ns units since 1601-01-01 UTC, the same value
// on every platform for the same file time. Memory files report time 0.
int cacheFileTime(HANDLE file, FILETIME* time);
// Moves to an absolute position anywhere below 4 GB.
int cacheFileSeekTo(HANDLE file, TVN_DWORD position);
// Writes all of `size` bytes or fails.
int cacheFileWrite(HANDLE file, const void* data, TVN_DWORD size);

// Test hook: the write that would take the bytes written from now on past `bytes`
// fails, once; later writes work again. A negative value disarms it.
void cacheFileFailWriteAfter(long long bytes);

} // namespace plat
} // namespace tvn

#endif
