/* Basic types shared by every public header of tivorn. */
#ifndef TIVORN_TYPES_H
#define TIVORN_TYPES_H

#if defined(_WIN32)
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  include <windows.h>
/* Pixel words, sizes and offsets: the platform's 32-bit DWORD. */
typedef unsigned long TVN_DWORD;
#  define TVN_CDECL __cdecl
#  if defined(TIVORN_STATIC)
#    define TVN_API
#  elif defined(TIVORN_BUILDING)
#    define TVN_API __declspec(dllexport)
#  else
#    define TVN_API __declspec(dllimport)
#  endif
#else
#  include <stdint.h>
typedef uint32_t TVN_DWORD;
#  define TVN_CDECL
#  define TVN_API __attribute__((visibility("default")))
/* Small stand-ins for the Windows handle types the interface names. */
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HBITMAP__* HBITMAP;
typedef struct _FILETIME {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
} FILETIME;
#  ifndef INVALID_HANDLE_VALUE
#    define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#  endif
#endif

#define TIVORN_VERSION_MAJOR 1
#define TIVORN_VERSION_MINOR 0
#define TIVORN_VERSION_PATCH 0

#endif
