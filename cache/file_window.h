// Buffered random-access reading of a cache file: the names, counts, offsets and
// time stamps of a cache lie close together, so one read fills a window that
// serves many fields.
#ifndef TIVORN_CACHE_FILE_WINDOW_H
#define TIVORN_CACHE_FILE_WINDOW_H

#include "cache/cache_format.h"
#include "pixel/heap.h"

namespace tvn {
namespace cache {

class FileWindow {
public:
    FileWindow(HANDLE file, TVN_DWORD fileSize);
    // Copies `size` bytes at `position`; false when they do not all lie in the file
    // or cannot be read (or no memory for the window).
    bool read(TVN_DWORD position, void* out, TVN_DWORD size);
    bool readU32(TVN_DWORD position, TVN_DWORD* value);
    // A part of the fields of the frame record at `record`; false when it does
    // not lie in the file or cannot be read.
    bool readFrameFields(TVN_DWORD record, TVN_DWORD nameLength, FrameFieldsPart part, FRAME_FIELDS* fields);
    TVN_DWORD fileSize() const { return m_fileSize; }

private:
    bool fill(TVN_DWORD position);

    HANDLE m_file;
    TVN_DWORD m_fileSize;
    pixel::HeapBlock m_buffer;
    TVN_DWORD m_start;
    TVN_DWORD m_length;
};

// Reads `size` bytes at `position` straight from the file (no window).
bool readAt(HANDLE file, TVN_DWORD position, void* out, TVN_DWORD size);
// FileWindow::readFrameFields straight from the file, for a single record.
bool readFrameFieldsAt(HANDLE file, TVN_DWORD fileSize, TVN_DWORD record, TVN_DWORD nameLength,
                       FrameFieldsPart part, FRAME_FIELDS* fields);

} // namespace cache
} // namespace tvn

#endif
