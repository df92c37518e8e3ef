#include "cache/file_window.h"
#include "cache/cache_format.h"
#include "platform/files.h"

#include <cstring>

namespace tvn {
namespace cache {

namespace {
const TVN_DWORD kWindowSize = 64 * 1024;
}

bool readAt(HANDLE file, TVN_DWORD position, void* out, TVN_DWORD size) {
    if (!plat::fileSeekTo(file, position)) return false;
    TVN_DWORD got = 0;
    return plat::fileRead(file, out, size, &got) && got == size;
}

FileWindow::FileWindow(HANDLE file, TVN_DWORD fileSize)
    : m_file(file), m_fileSize(fileSize), m_buffer(), m_start(0), m_length(0) {}

bool FileWindow::fill(TVN_DWORD position) {
    if (m_buffer.empty()) m_buffer.resize(kWindowSize);
    const TVN_DWORD left = m_fileSize - position;
    const TVN_DWORD size = left < kWindowSize ? left : kWindowSize;
    m_length = 0;
    if (!readAt(m_file, position, m_buffer.data(), size)) return false;
    m_start = position;
    m_length = size;
    return true;
}

bool FileWindow::read(TVN_DWORD position, void* out, TVN_DWORD size) {
    if (position > m_fileSize || size > m_fileSize - position) return false;
    if (size == 0) return true;
    if (size > kWindowSize / 2) return readAt(m_file, position, out, size);
    const bool inside = position >= m_start && position - m_start <= m_length && size <= m_length - (position - m_start);
    if (!inside && !fill(position)) return false;
    std::memcpy(out, m_buffer.data() + (position - m_start), size);
    return true;
}

bool FileWindow::readU32(TVN_DWORD position, TVN_DWORD* value) {
    unsigned char bytes[4];
    if (!read(position, bytes, 4)) return false;
    *value = getU32(bytes);
    return true;
}

} // namespace cache
} // namespace tvn
