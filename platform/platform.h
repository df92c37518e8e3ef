// What the core needs of the operating system, one header per area. platform/win32
// implements it over the Win32 calls the library has always used; platform/posix
// over POSIX. Core code includes only this header, never a system header of its own.
#ifndef TIVORN_PLATFORM_H
#define TIVORN_PLATFORM_H

#include "platform/bitmaps.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/module.h"
#include "platform/paths.h"
#include "platform/threads.h"

#endif
