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
/* Stand-ins for the Windows types the interface names (HBITMAP in tvnCreateBitmap
   and fromHandle, HANDLE in CRGBAImage's layout) and the library's file layer uses
   (HWND, FILETIME), so that one header serves both builds. They are global names:
   a host that declares them itself (a Windows compatibility layer, for example)
   defines TVN_HAVE_WIN32_TYPES before including tivorn and keeps its own. Its
   declarations must be the same as these: the handles as pointers to the struct
   types named here (the exported C++ symbols carry those names), FILETIME as two
   32-bit words. */
#  ifndef TVN_HAVE_WIN32_TYPES
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HBITMAP__* HBITMAP;
typedef struct _FILETIME {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
} FILETIME;
#  endif
#  ifndef INVALID_HANDLE_VALUE
#    define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#  endif
#endif

/* 64-bit file positions in the host's file procs (host.h), also from C90. */
#if defined(__GNUC__)
__extension__ typedef long long TVN_INT64;
__extension__ typedef unsigned long long TVN_UINT64;
#elif defined(_MSC_VER)
typedef __int64 TVN_INT64;
typedef unsigned __int64 TVN_UINT64;
#else
typedef long long TVN_INT64;
typedef unsigned long long TVN_UINT64;
#endif

/* File names are held in buffers of this many bytes, the terminating zero
   included (the system's path limit); longer names are refused or cut. */
#define TVN_MAX_PATH 260

#define TIVORN_VERSION_MAJOR 1
#define TIVORN_VERSION_MINOR 0
#define TIVORN_VERSION_PATCH 0

#endif
