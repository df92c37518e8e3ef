#include "cache/file_window.h"
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
    if (!m_buffer.get()) m_buffer.reset(pixel::heapAlloc(kWindowSize));
    if (!m_buffer.get()) return false;
    const TVN_DWORD left = m_fileSize - position;
    const TVN_DWORD size = left < kWindowSize ? left : kWindowSize;
    m_length = 0;
    if (!readAt(m_file, position, m_buffer.get(), size)) return false;
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
    std::memcpy(out, m_buffer.as<unsigned char>() + (position - m_start), size);
    return true;
}

bool FileWindow::readU32(TVN_DWORD position, TVN_DWORD* value) {
    unsigned char bytes[4];
    if (!read(position, bytes, 4)) return false;
    *value = getU32(bytes);
    return true;
}

namespace {
template <class Read>
bool readFields(TVN_DWORD fileSize, TVN_DWORD record, TVN_DWORD nameLength, FrameFieldsPart part,
                FRAME_FIELDS* fields, Read read) {
    TVN_DWORD from = 0, length = 0;
    partOfFields(part, &from, &length);
    const unsigned long long at = frameFieldsAt(record, nameLength) + from;
    unsigned char bytes[12];
    if (at + length > fileSize || !read(static_cast<TVN_DWORD>(at), bytes, length)) return false;
    getFrameFields(bytes, part, fields);
    return true;
}
} // namespace

bool FileWindow::readFrameFields(TVN_DWORD record, TVN_DWORD nameLength, FrameFieldsPart part,
                                 FRAME_FIELDS* fields) {
    return readFields(m_fileSize, record, nameLength, part, fields,
                      [this](TVN_DWORD at, void* out, TVN_DWORD size) { return read(at, out, size); });
}

bool readFrameFieldsAt(HANDLE file, TVN_DWORD fileSize, TVN_DWORD record, TVN_DWORD nameLength,
                       FrameFieldsPart part, FRAME_FIELDS* fields) {
    return readFields(fileSize, record, nameLength, part, fields,
                      [file](TVN_DWORD at, void* out, TVN_DWORD size) { return readAt(file, at, out, size); });
}

} // namespace cache
} // namespace tvn
