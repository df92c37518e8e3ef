// What the core needs of the operating system, one header per area. platform/win32
// implements it over the Win32 calls the library has always used; platform/posix
// over POSIX. Core code includes only this header, never a system header of its own.
#ifndef TIVORN_PLATFORM_H
#define TIVORN_PLATFORM_H

#include "bitmaps.h"
#include "dialogs.h"
#include "files.h"
#include "memory.h"
#include "module.h"
#include "paths.h"
#include "threads.h"

#endif
