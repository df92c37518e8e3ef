// The environment's host hooks as the system table fills them: each serves the
// host's proc when one is installed (tivorn/host.h), else the system's own.
#ifndef TIVORN_PLATFORM_HOST_HOOKS_H
#define TIVORN_PLATFORM_HOST_HOOKS_H

#include "platform/environment.h"

namespace tvn {
namespace plat {
namespace hooks {

void message(const char* text, HWND owner);
int openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                   unsigned long* extendedError);
int propertiesDialog(HWND owner, CPropertiesHandler& handler);

// Files: the host's procs (tvnSetFileProcs) while installed, else the system's.
HANDLE fileOpen(const char* path, FileAccess access);
int fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got);
int fileWrite(HANDLE file, const void* data, TVN_DWORD size, TVN_DWORD* written);
int fileSeek(HANDLE file, long long offset, SeekOrigin origin, unsigned long long* position);
TVN_DWORD fileSize(HANDLE file);
int fileTruncate(HANDLE file);
int fileSync(HANDLE file);
void fileWriteBack(HANDLE file, unsigned long long offset, unsigned long long length);
int fileTime(HANDLE file, FILETIME* lastWrite);
void fileClose(HANDLE file);
int fileExists(const char* path);
int fileRemove(const char* path);

} // namespace hooks
} // namespace plat
} // namespace tvn

#endif
