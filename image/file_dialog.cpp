// The open-file dialog of load: it starts in the shared folder m_strPath and
// remembers the folder of every chosen file there.
#include "tivorn/image.h"
#include "image/file_names.h"
#include "pixel/module_start.h"
#include "platform/platform.h"

namespace {
// Label and patterns of each entry, each ending in a zero byte; the list ends
// in an extra zero byte (the literal's own).
const char kFilters[] = "Image Files\0*.bmp;*.dib;*.tga;*.targa;*.gif;*.jpg;*.jpeg\0"
                        "Windows Bitmap (*.bmp, *.dib)\0*.bmp;*.dib\0"
                        "Targa (*.tga, *.targa)\0*.tga;*.targa\0"
                        "GIF (*.gif)\0*.gif\0"
                        "JPEG (*.jpg, *.jpeg)\0*.jpg;*.jpeg\0";
} // namespace

int CRGBAImage::showFileDialog(const char* startPath) {
    if (!m_strPath[0]) tvn::image::copyName(m_strPath, startPath);
    char chosen[TVN_MAX_PATH] = {0};
    unsigned long extendedError = 0;
    if (tvn::plat::openFileDialog(m_strPath, kFilters, chosen, sizeof chosen, &extendedError)) {
        tvn::image::copyName(m_strFileName, chosen);
        tvn::image::folderOf(chosen, m_strPath);
        return 1;
    }
    if (extendedError) tvn::plat::showMessage(tvn::pixel::messageText(tvn::pixel::Msg::LoadError), nullptr);
    return 0;
}
