// Buffered random-access reading of a cache file: the names, counts, offsets and
// time stamps of a cache lie close together, so one read fills a window that
// serves many fields.
#ifndef TIVORN_CACHE_FILE_WINDOW_H
#define TIVORN_CACHE_FILE_WINDOW_H

#include <vector>

#include "tivorn/types.h"

namespace tvn {
namespace cache {

class FileWindow {
public:
    FileWindow(HANDLE file, TVN_DWORD fileSize);
    // Copies `size` bytes at `position`; false when they do not all lie in the file
    // or cannot be read.
    bool read(TVN_DWORD position, void* out, TVN_DWORD size);
    bool readU32(TVN_DWORD position, TVN_DWORD* value);
    TVN_DWORD fileSize() const { return m_fileSize; }

private:
    bool fill(TVN_DWORD position);

    HANDLE m_file;
    TVN_DWORD m_fileSize;
    std::vector<unsigned char> m_buffer;
    TVN_DWORD m_start;
    TVN_DWORD m_length;
};

// Reads `size` bytes at `position` straight from the file (no window).
bool readAt(HANDLE file, TVN_DWORD position, void* out, TVN_DWORD size);

} // namespace cache
} // namespace tvn

#endif
