/* Hooks through which a host application takes over what the library would
   otherwise show or ask of the user itself. */
#ifndef TIVORN_HOST_H
#define TIVORN_HOST_H

#include "types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Receives every message box of the library: text, caption ("tivorn.dll").
   Default: MessageBoxA on Windows; one line "caption: text" on stderr elsewhere. */
typedef void (TVN_CDECL *TVN_MESSAGE_PROC)(const char* text, const char* caption, void* user);
/* Installs proc (null restores the default). */
TVN_API void TVN_CDECL tvnSetMessageProc(TVN_MESSAGE_PROC proc, void* user);

/* The open-file dialog of CRGBAImage::load(name, 1). The proc receives the folder
   to start in and the filter list (pairs of label and patterns, each ending in a
   zero byte, the list ending in an extra zero byte), writes the chosen full path
   into path (pathSize bytes with its terminator) and returns 1 for a choice,
   0 for a cancel, -1 for a failed dialog (shown as message 8). Without a proc
   Windows runs GetOpenFileNameA; elsewhere the dialog acts as a cancel. */
typedef int (TVN_CDECL *TVN_OPEN_FILE_PROC)(const char* startFolder, const char* filters, char* path,
                                            int pathSize, void* user);
TVN_API void TVN_CDECL tvnSetOpenFileProc(TVN_OPEN_FILE_PROC proc, void* user);

/* Bitmap handles for CRGBAImage::fromHandle, made from bottom-up rows of 24-bit
   (blue, green, red) or 32-bit (blue, green, red, alpha) pixels, stride bytes
   apart. On Windows this is a real device-independent bitmap (HBITMAP); elsewhere
   a small bitmap object of the library. Null on failure; release with tvnDeleteBitmap. */
TVN_API HBITMAP TVN_CDECL tvnCreateBitmap(int width, int height, int bitsPerPixel, const void* rows, int stride);
TVN_API void TVN_CDECL tvnDeleteBitmap(HBITMAP bitmap);

/* Library version as "major.minor.patch". */
TVN_API const char* TVN_CDECL tvnVersion(void);

#ifdef __cplusplus
}
#endif

#endif
