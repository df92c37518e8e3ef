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

/* The image properties dialog of CRGBAImage::showProperties, shown by the host.
   The proc receives the dialog (opaque) and the owner window given to
   showProperties; it shows a window of its own and passes the user's actions on
   through the tvnProp functions until tvnPropGetEndCode is not 0, then returns.
   A proc that returns earlier cancels the dialog. Controls are named by the ids
   of dialog 170 (tivorn/dialog_ids.h). Without a proc Windows shows the
   library's own dialog; elsewhere there is none and showProperties returns 0. */
typedef struct TVN_PROPERTIES_DIALOG TVN_PROPERTIES_DIALOG;
typedef void (TVN_CDECL *TVN_PROPERTIES_DIALOG_PROC)(TVN_PROPERTIES_DIALOG* dialog, HWND owner, void* user);
TVN_API void TVN_CDECL tvnSetPropertiesDialogProc(TVN_PROPERTIES_DIALOG_PROC proc, void* user);

/* What the controls show. tvnPropGetText copies at most size - 1 characters and
   returns the whole length (-1 for no such control); tvnPropGetTrackBar returns the
   position (-1 for no track bar) and the range and page size when asked for. */
TVN_API int TVN_CDECL tvnPropGetText(TVN_PROPERTIES_DIALOG* dialog, int id, char* text, int size);
TVN_API int TVN_CDECL tvnPropIsChecked(TVN_PROPERTIES_DIALOG* dialog, int id);
TVN_API int TVN_CDECL tvnPropIsEnabled(TVN_PROPERTIES_DIALOG* dialog, int id);
TVN_API int TVN_CDECL tvnPropGetTrackBar(TVN_PROPERTIES_DIALOG* dialog, int id, int* low, int* high, int* page);
/* The user's actions; each returns 1, or 0 when the control does not take it
   (unknown, disabled, read-only, a number edit given more than digits, or the
   dialog already ended). Typing replaces an edit's text and gives it the focus;
   a click on a button, radio or check box acts as on the real dialog (1 is OK,
   2 Cancel); a track bar is moved to the position, kept within its range. */
TVN_API int TVN_CDECL tvnPropType(TVN_PROPERTIES_DIALOG* dialog, int id, const char* text);
TVN_API int TVN_CDECL tvnPropClick(TVN_PROPERTIES_DIALOG* dialog, int id);
TVN_API int TVN_CDECL tvnPropSetTrackBar(TVN_PROPERTIES_DIALOG* dialog, int id, int position);
/* Draws the colour swatch (1011): 1 and its colour when it is painted, 0 when it
   stays blank (every mode but chromakey). */
TVN_API int TVN_CDECL tvnPropDrawSwatch(TVN_PROPERTIES_DIALOG* dialog, TVN_DWORD* color);
/* 0 while the dialog is open, 1 after an accepted OK, 2 after Cancel. */
TVN_API int TVN_CDECL tvnPropGetEndCode(TVN_PROPERTIES_DIALOG* dialog);
/* The colour choice behind the colour button: gets the colour to start from and
   the process's 16 custom colours, returns 1 with *color set when the user chose.
   Without one the choice counts as cancelled. */
typedef int (TVN_CDECL *TVN_CHOOSE_COLOR_PROC)(TVN_DWORD* color, TVN_DWORD* customColors, void* user);
TVN_API void TVN_CDECL tvnPropSetColorProc(TVN_PROPERTIES_DIALOG* dialog, TVN_CHOOSE_COLOR_PROC proc, void* user);

/* Threads of the heavy operations (setSize, setSizeRough, blur, tvn2PassBlur,
   the transparency modes and every rebuild they make): n threads share one
   operation, the calling thread included; 1 runs everything on the calling
   thread with no thread of the library's own; 0 restores the default, the
   number of processors the process may run on. At most 64. May be called at any
   time from any thread; operations under way finish with the threads they have. */
TVN_API void TVN_CDECL tvnSetWorkerCount(unsigned int n);

/* Library version as "major.minor.patch". */
TVN_API const char* TVN_CDECL tvnVersion(void);

#ifdef __cplusplus
}
#endif

#endif
