// The open-file dialog on Windows: GetOpenFileNameA with the request record of
// its first version (76 bytes in the 32-bit DLL), which every version of the
// dialog accepts.
#include "platform/system.h"

#include <commdlg.h>
#include <cstring>

#include <cstddef>

namespace {
// The record up to its first version's last field (OPENFILENAME_SIZE_VERSION_400A).
const DWORD kRequestSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(sizeof(void*) != 4 || kRequestSize == 76, "the 32-bit DLL passes the 76-byte request record");
} // namespace

namespace tvn {
namespace plat {

int sys::openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                        unsigned long* extendedError) {
    if (extendedError) *extendedError = 0;
    if (!chosen || chosenSize <= 0) return 0;
    chosen[0] = 0;
    OPENFILENAMEA request;
    std::memset(&request, 0, sizeof request);
    request.lStructSize = kRequestSize;
    request.hwndOwner = nullptr;
    request.lpstrFilter = filters;
    request.nFilterIndex = 1;
    request.lpstrFile = chosen;
    request.nMaxFile = static_cast<DWORD>(chosenSize);
    request.lpstrInitialDir = startFolder;
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST; // 0x81800
    if (GetOpenFileNameA(&request)) return 1;
    if (extendedError) *extendedError = CommDlgExtendedError();
    return 0;
}

} // namespace plat
} // namespace tvn
