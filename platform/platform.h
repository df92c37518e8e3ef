// What the core needs of the operating system. platform/win32 implements it over
// the Win32 calls the library has always used; platform/posix over POSIX.
// Core code includes only this header, never a system header of its own.
#ifndef TIVORN_PLATFORM_H
#define TIVORN_PLATFORM_H

#include <cstddef>
#include "tivorn/types.h"

namespace tvn {
namespace plat {

enum SeekOrigin { SeekBegin = 0, SeekCurrent = 1, SeekEnd = 2 };
const TVN_DWORD kInvalidFileSize = 0xFFFFFFFFu;

// Files. A handle is INVALID_HANDLE_VALUE on failure.
HANDLE fileOpenRead(const char* path);    // read access, read sharing, existing only
HANDLE fileCreateWrite(const char* path); // write access, read sharing, create always
HANDLE fileOpenReadWrite(const char* path, int createIfMissing);
// Reads up to size bytes; *got receives the count. 0 when the call itself failed.
int fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got);
int fileWrite(HANDLE file, const void* buffer, TVN_DWORD size, TVN_DWORD* written);
// Moves the file position; 0 on failure (for example before the start).
int fileSeek(HANDLE file, long offset, SeekOrigin origin, TVN_DWORD* newPosition);
TVN_DWORD fileSize(HANDLE file); // kInvalidFileSize on failure
int fileTruncate(HANDLE file);   // end of file at the current position
int fileLastWriteTime(HANDLE file, FILETIME* time);
void fileClose(HANDLE file);
int pathExists(const char* path); // a file or a folder

// Files over a memory block, under a name that fileOpenRead recognises.
// The block is copied; the name stays valid until memoryFileRemove.
void memoryFileAdd(const char* path, const void* data, std::size_t size);
void memoryFileRemove(const char* path);

// Module start: fills buffer with string `id` of the library's string table.
// Returns the number of bytes stored (0 when the string is missing).
int loadString(void* module, unsigned id, char* buffer, int bufferSize);
void* moduleInstance();

// Message boxes: caption "tivorn.dll", stop icon, OK only. owner may be null.
void showMessage(const char* text, HWND owner);
// The platform's own box, used when the host installed no message proc.
void defaultMessageBox(const char* text, const char* caption, HWND owner);

unsigned long currentThreadId();

// Shell path rules of the platform, as its shell path functions apply them.
extern const char kPathSeparator; // '\\' on Windows, '/' elsewhere
bool isPathSeparator(char c);
// The extension of the last path component, from its last '.' on; the
// terminating zero when there is none.
char* pathFindExtension(char* path);
// Cuts path to its folder part (the last component and its separator go).
void pathCutToFolder(char* path);

// The open-file dialog (explorer style, file and path must exist, no owner).
// filters: label/pattern pairs, each zero-terminated, ending in an extra zero.
// Returns 1 and the full path in `chosen` on a choice; 0 otherwise, with
// *extendedError non-zero when the dialog failed rather than was cancelled.
int openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                   unsigned long* extendedError);

// Bitmap handles (Windows: GDI bitmaps; elsewhere the platform's own bitmap object,
// see tvnCreateBitmap). bitmapSize gives the size as GetObjectA reports it.
// bitmapRows24 gives `lines` rows from row `first` (counted from the bottom) of the
// bitmap as a bottom-up 24-bit device-independent bitmap of width x height pixels
// (blue, green, red; each row padded to a multiple of 4 bytes), as GetDIBits does
// through a screen device context. Both return 0 on failure.
int bitmapSize(HBITMAP bitmap, long* width, long* height);
int bitmapRows24(HBITMAP bitmap, long width, long height, long first, long lines, void* rows);

// The platform picture decoder: turns a whole picture file in memory into a bitmap
// handle and hands it to take(); everything it acquired is released afterwards.
// Returns what take() returned, or 0 when the data could not be decoded.
int decodePicture(const void* bytes, TVN_DWORD size, int (*take)(HBITMAP bitmap, void* context), void* context);
// Where the decoder can write pixel words itself, the picture skips the bitmap:
// decodePictureInto asks words() for width x height words (bottom row first; null
// gives up), fills them with opaque pixels and returns PictureDecoded. Where it
// cannot (Windows), it returns PictureUseBitmap at once and decodePicture is the way.
enum PictureRoute { PictureFailed = 0, PictureDecoded = 1, PictureUseBitmap = 2 };
typedef TVN_DWORD* (*PictureWords)(void* context, TVN_DWORD width, TVN_DWORD height);
PictureRoute decodePictureInto(const void* bytes, TVN_DWORD size, PictureWords words, void* context);
// What decodes pictures here: "OleLoadPicture" on Windows, "TurboJPEG" elsewhere.
const char* pictureDecoderName();

// Asks for large pages behind a big block that is about to be filled (the first
// touch of small fresh pages costs more than filling them). Only advice: may do nothing.
void adviseHugePages(void* block, std::size_t bytes);

} // namespace plat
} // namespace tvn

#endif
