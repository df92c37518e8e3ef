// load and reload: a file name to a picture, by the file's extension. The
// reader decodes into a staging record that replaces the picture only when the
// whole read succeeded, so a failed read leaves the picture as it was.
#include "tivorn/image.h"
#include "image/file_names.h"
#include "image/reader_members.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "platform/platform.h"

#include <cstring>
#include <memory>

namespace {

void showCannotOpen(const char* path) {
    char text[2 * TVN_MAX_PATH + 4];
    std::strcpy(text, tvn::pixel::messageText(tvn::pixel::Msg::CannotOpenFile));
    std::strcat(text, ": ");
    std::strncat(text, path, TVN_MAX_PATH - 1);
    tvn::plat::showMessage(text, nullptr);
}

} // namespace

int CRGBAImage::load(const char* fileName, int showDialog) {
    if (!fileName || !fileName[0]) return 0;
    // Name buffers an image could not have when it was made are asked for again:
    // load keeps the path in them, and reports a shortage like a reader does.
    if (!m_strFileName) m_strFileName = static_cast<char*>(tvn::pixel::heapAllocZero(TVN_MAX_PATH));
    if (!m_strMaskFileName) m_strMaskFileName = static_cast<char*>(tvn::pixel::heapAllocZero(TVN_MAX_PATH));
    if (!m_strFileName || !m_strMaskFileName) {
        tvn::plat::showMessage(tvn::pixel::messageText(tvn::pixel::Msg::OutOfMemory), nullptr);
        return 0;
    }
    // A failed read brings back the names and the alpha flag of before the call.
    char previousName[TVN_MAX_PATH], previousMask[TVN_MAX_PATH];
    tvn::image::copyName(previousName, m_strFileName);
    tvn::image::copyName(previousMask, m_strMaskFileName);
    const int previousContainsAlpha = m_bContainsAlpha;
    if (showDialog) {
        char start[TVN_MAX_PATH];
        tvn::image::copyName(start, fileName);
        if (!tvn::plat::pathExists(start)) tvn::plat::pathCutToFolder(start);
        if (!showFileDialog(start)) return 0;
    } else {
        tvn::image::copyName(m_strFileName, fileName);
    }
    tvn::image::copyName(m_strMaskFileName, m_strFileName);
    m_bContainsAlpha = 0;

    HANDLE file = tvn::plat::fileOpenRead(m_strFileName);
    if (file == INVALID_HANDLE_VALUE) {
        showCannotOpen(m_strFileName);
        return 0;
    }
    tvn::plat::CPlatformFile closer(file);
    const tvn::image::FileKind kind = tvn::image::fileKindOf(tvn::image::lowerCaseExtension(m_strFileName));
    tvn::image::copyName(m_strMaskFileName, m_strFileName); // the mask name reads the same

    // The copy of the image that load has always made before reading: when memory
    // for it is short, message 1 leaves load before anything is read.
    std::unique_ptr<CRGBAImage> backup;
    if (m_pBuffer) backup.reset(new CRGBAImage(*this));

    tvn::pixel::DECODED_PICTURE staged = {};
    int result = 0;
    bool sizeLost = true; // the readers that report a failure leave no picture size
    switch (kind) {
    case tvn::image::FileBMP: result = tvn::codecs::decodeBmp(file, &staged); break;
    case tvn::image::FileTGA: {
        tvn::codecs::READ_AHEAD readAhead = tvn::image::readAheadOf(*this);
        result = tvn::codecs::decodeTga(file, readAhead, &staged);
        break;
    }
    case tvn::image::FileGIF: result = tvn::codecs::decodeGif(file, &staged); break;
    case tvn::image::FileJPEG:
        sizeLost = false;
        result = tvn::codecs::decodeJpeg(file, &staged);
        break;
    case tvn::image::FileUnknown: sizeLost = false; break;
    }

    if (!result) {
        if (backup) {
            // Nothing of the picture was touched: only the names and the alpha flag come back.
            tvn::image::copyName(m_strFileName, previousName);
            tvn::image::copyName(m_strMaskFileName, previousMask);
            m_bContainsAlpha = previousContainsAlpha;
            return 0;
        }
        // No picture before, and none now.
        tvn::pixel::heapFree(m_pOrigBuffer);
        m_pOrigBuffer = nullptr;
        if (sizeLost) m_dwWidth = m_dwHeight = 0;
        m_dwWidthOrig = m_dwWidth;
        m_dwHeightOrig = m_dwHeight;
        return 0;
    }
    // The new picture is its own untouched copy.
    tvn::image::replacePicture(*this, staged);
    return 1;
}

int CRGBAImage::reload(int filter, IMG_PROGRESS_PROC progress, void* user) {
    const TVN_DWORD width = m_dwWidth;
    const TVN_DWORD height = m_dwHeight;
    if (!load(m_strFileName, 0)) return 0;
    if (m_dwWidth != width || m_dwHeight != height) {
        if (filter) m_nResizeFilter = filter;
        // setSize applies the blur itself: the picture carries it once.
        setSize(width, height, m_nResizeFilter, progress, user);
        return 1;
    }
    if (m_nBlurKrnlSize) setSize(width, height, m_nResizeFilter, nullptr, nullptr);
    return 1;
}
