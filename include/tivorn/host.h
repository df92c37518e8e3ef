/* Hooks through which a host application takes over what the library would
   otherwise show or ask of the user itself. */
#ifndef TIVORN_HOST_H
#define TIVORN_HOST_H

#include "types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Receives every message box of the library: text, caption ("tivorn.dll").
   Default: MessageBoxA on Windows; one line "caption: text" on stderr elsewhere.
   Installed by tvnSetMessageProc. */
typedef void (TVN_CDECL *TVN_MESSAGE_PROC)(const char* text, const char* caption, void* user);

/* The open-file dialog of CRGBAImage::load(name, 1). The proc receives the folder
   to start in and the filter list (pairs of label and patterns, each ending in a
   zero byte, the list ending in an extra zero byte), writes the chosen full path
   into path (pathSize bytes with its terminator) and returns 1 for a choice,
   0 for a cancel, -1 for a failed dialog (shown as message 8). Without a proc
   Windows runs GetOpenFileNameA; elsewhere the dialog acts as a cancel.
   Installed by tvnSetOpenFileProc. */
typedef int (TVN_CDECL *TVN_OPEN_FILE_PROC)(const char* startFolder, const char* filters, char* path,
                                            int pathSize, void* user);

/* Files. Every file the library opens (pictures, masks, TGA output, cache files
   and their journals, existence tests of frame runs) goes through these procs; a
   host installs its own to serve files from elsewhere (an archive, memory, a
   virtual file system) or to watch them. Install them before the library opens
   any file and remove them only when none is open: a file is served to its close
   by the procs that opened it. tvnGetSystemFileProcs gives the library's own
   procs, so that a host's procs can pass on what they do not serve themselves.
   Handles are the procs' own (never null; failure is null). Every proc gets the
   user value of the record; all but open and exists return 1 for success. */
#define TVN_FILE_READ 0                  /* read, existing files only */
#define TVN_FILE_READ_SHARED 1           /* read, others may write; existing only */
#define TVN_FILE_QUERY 2                 /* no access (times only); existing only */
#define TVN_FILE_CREATE_WRITE 3          /* write, created or emptied */
#define TVN_FILE_READ_WRITE 4            /* read and write, existing only */
#define TVN_FILE_READ_WRITE_CREATE 5     /* read and write, created when missing */
#define TVN_SEEK_BEGIN 0
#define TVN_SEEK_CURRENT 1
#define TVN_SEEK_END 2
typedef struct TVN_FILE_PROCS {
    void* user;
    void* (TVN_CDECL *open)(const char* path, int access, void* user);
    /* *got < size only at the end of the file. */
    int (TVN_CDECL *read)(void* file, void* buffer, TVN_DWORD size, TVN_DWORD* got, void* user);
    /* 1 only when all of size bytes were written. */
    int (TVN_CDECL *write)(void* file, const void* data, TVN_DWORD size, TVN_DWORD* written, void* user);
    /* Moves to origin + offset (fails before the start); *position gets the new position. */
    int (TVN_CDECL *seek)(void* file, TVN_INT64 offset, int origin, TVN_UINT64* position, void* user);
    /* The size, or 0xFFFFFFFF on failure. */
    TVN_DWORD (TVN_CDECL *size)(void* file, void* user);
    int (TVN_CDECL *truncate)(void* file, void* user); /* the file ends at the current position */
    int (TVN_CDECL *sync)(void* file, void* user);     /* written data are on the disk */
    int (TVN_CDECL *time)(void* file, FILETIME* lastWrite, void* user);
    void (TVN_CDECL *close)(void* file, void* user);
    int (TVN_CDECL *exists)(const char* path, void* user); /* 1 for a file or folder of that name */
    int (TVN_CDECL *remove)(const char* path, void* user);
} TVN_FILE_PROCS;

/* The image properties dialog of CRGBAImage::showProperties, shown by the host.
   The proc receives the dialog (opaque) and the owner window given to
   showProperties; it shows a window of its own and passes the user's actions on
   through the tvnProp functions until tvnPropGetEndCode is not 0, then returns.
   A proc that returns earlier cancels the dialog. Controls are named by the ids
   of dialog 170 (tivorn/dialog_ids.h). Without a proc Windows shows the
   library's own dialog; elsewhere there is none and showProperties returns 0.
   Installed by tvnSetPropertiesDialogProc. */
typedef struct TVN_PROPERTIES_DIALOG TVN_PROPERTIES_DIALOG;
typedef void (TVN_CDECL *TVN_PROPERTIES_DIALOG_PROC)(TVN_PROPERTIES_DIALOG* dialog, HWND owner, void* user);

/* The colour choice behind the colour button: gets the colour to start from and
   the process's 16 custom colours, returns 1 with *color set when the user chose.
   Without one the choice counts as cancelled. Installed by tvnPropSetColorProc. */
typedef int (TVN_CDECL *TVN_CHOOSE_COLOR_PROC)(TVN_DWORD* color, TVN_DWORD* customColors, void* user);

/* The functions: message, open-file and properties-dialog procs, file procs,
   bitmap handles, the properties dialog's controls and actions, worker threads
   and the version. Declared from tivorn/c_functions.inc, the one list of the C
   interface's functions, each with its parameters and what it does. */
#define TVN_FUNCTION(header, availability, result, name, parameters, doc) \
    TVN_DECLARE_##header(result, name, parameters)
#define TVN_DECLARE_HOST(result, name, parameters) TVN_API result TVN_CDECL name parameters;
#include "c_functions.inc"

#ifdef __cplusplus
}
#endif

#endif
