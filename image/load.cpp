// load and reload: a file name to a picture, by the file's extension. A failed
// read puts the image back exactly as it was, from a full copy made before.
#include "tivorn/image.h"
#include "file_names.h"
#include "image_access.h"
#include "../pixel/heap.h"
#include "../pixel/module_start.h"
#include "../platform/platform.h"

#include <cstring>
#include <memory>

namespace {

void showCannotOpen(const char* path) {
    char text[2 * tvn::kNameSize + 4];
    std::strcpy(text, tvn::messageText(10));
    std::strcat(text, ": ");
    std::strncat(text, path, tvn::kNameSize - 1);
    tvn::plat::showMessage(text, nullptr);
}

// Everything operator= copies except the buffers.
void restoreFields(CRGBAImage& image, CRGBAImage& from) {
    using A = tvn::ImageAccess;
    A::width(image) = A::width(from);
    A::height(image) = A::height(from);
    A::widthOrig(image) = A::widthOrig(from);
    A::heightOrig(image) = A::heightOrig(from);
    A::containsAlpha(image) = A::containsAlpha(from);
    tvn::copyName(A::fileName(image), A::fileName(from));
    tvn::copyName(A::maskFileName(image), A::maskFileName(from));
    A::transp(image) = A::transp(from);
    A::blurSize(image) = A::blurSize(from);
    A::resizeFilter(image) = A::resizeFilter(from);
}

} // namespace

int CRGBAImage::load(const char* fileName, int showDialog) {
    if (!fileName || !fileName[0]) return 0;
    // A failed read brings back the names and the alpha flag of before the call.
    char previousName[tvn::kNameSize], previousMask[tvn::kNameSize];
    tvn::copyName(previousName, m_strFileName);
    tvn::copyName(previousMask, m_strMaskFileName);
    const int previousContainsAlpha = m_bContainsAlpha;
    if (showDialog) {
        char start[tvn::kNameSize];
        tvn::copyName(start, fileName);
        if (!tvn::plat::pathExists(start)) tvn::plat::pathCutToFolder(start);
        if (!showFileDialog(start)) return 0;
    } else {
        tvn::copyName(m_strFileName, fileName);
    }
    tvn::copyName(m_strMaskFileName, m_strFileName);
    m_bContainsAlpha = 0;

    HANDLE file = tvn::plat::fileOpenRead(m_strFileName);
    if (file == INVALID_HANDLE_VALUE) {
        showCannotOpen(m_strFileName);
        return 0;
    }
    tvn::plat::CPlatformFile closer(file);
    const tvn::FileKind kind = tvn::fileKindOf(tvn::lowerCaseExtension(m_strFileName));
    tvn::copyName(m_strMaskFileName, m_strFileName); // the mask name reads the same

    std::unique_ptr<CRGBAImage> backup;
    if (m_pBuffer) {
        backup.reset(new CRGBAImage(*this)); // throws message 1 when it cannot be made
        tvn::copyName(tvn::ImageAccess::fileName(*backup), previousName);
        tvn::copyName(tvn::ImageAccess::maskFileName(*backup), previousMask);
        tvn::ImageAccess::containsAlpha(*backup) = previousContainsAlpha;
    }

    // The readers put the new picture in m_pBuffer. The previous buffers are set
    // aside meanwhile, so that nothing a reader does (the TGA flips) touches them.
    TVN_DWORD* previous = m_pBuffer;
    TVN_DWORD* previousOrig = m_pOrigBuffer;
    unsigned char* previousAlpha = m_pSavedAlpha;
    m_pBuffer = nullptr;
    m_pOrigBuffer = nullptr;
    m_pSavedAlpha = nullptr;

    int result = 0;
    switch (kind) {
    case tvn::FileBMP: result = readBMPFile(file); break;
    case tvn::FileTGA: result = readTGAFile(file); break;
    case tvn::FileGIF: result = readGIFFile(file); break;
    case tvn::FileJPEG: result = readJPEGFile(file); break;
    case tvn::FileUnknown: result = 0; break;
    }
    m_dwWidthOrig = m_dwWidth;
    m_dwHeightOrig = m_dwHeight;

    if (!result) {
        tvn::heapFree(m_pBuffer);
        tvn::heapFree(m_pOrigBuffer);
        m_pBuffer = previous;
        m_pOrigBuffer = nullptr;
        m_pSavedAlpha = previousAlpha;
        if (!backup) {
            tvn::heapFree(previousOrig);
            return 0;
        }
        m_pOrigBuffer = previousOrig;
        try {
            *this = *backup; // releases the buffers put back above
        } catch (...) {
            // Out of memory: the buffers put back are the previous picture's own,
            // so its sizes and settings complete it before message 1 leaves.
            restoreFields(*this, *backup);
            throw;
        }
        return 0;
    }
    // The new picture is its own untouched copy.
    tvn::heapFree(previous);
    tvn::heapFree(previousOrig);
    tvn::heapFree(previousAlpha);
    tvn::heapFree(m_pOrigBuffer);
    tvn::heapFree(m_pSavedAlpha);
    m_pOrigBuffer = nullptr;
    m_pSavedAlpha = nullptr;
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
