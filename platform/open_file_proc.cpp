// The host's open-file dialog: installed through tvnSetOpenFileProc, it takes
// the place of the system's dialog on every platform.
#include "platform/host_hooks.h"
#include "platform/system.h"
#include "tivorn/host.h"

namespace {
std::atomic<TVN_OPEN_FILE_PROC> g_proc{nullptr};
std::atomic<void*> g_user{nullptr};
} // namespace

extern "C" TVN_API void TVN_CDECL tvnSetOpenFileProc(TVN_OPEN_FILE_PROC proc, void* user) {
    g_user.store(user);
    g_proc.store(proc);
}

namespace tvn {
namespace plat {

// Extended error reported for a host dialog that failed (CDERR_DIALOGFAILURE).
const unsigned long kHostDialogFailure = 0xFFFF;

int hooks::openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                          unsigned long* extendedError) {
    TVN_OPEN_FILE_PROC proc = g_proc.load();
    if (!proc) return sys::openFileDialog(startFolder, filters, chosen, chosenSize, extendedError);
    if (extendedError) *extendedError = 0;
    if (chosen && chosenSize > 0) chosen[0] = 0;
    const int answer = proc(startFolder, filters, chosen, chosenSize, g_user.load());
    if (answer == 1 && chosen && chosenSize > 0) {
        chosen[chosenSize - 1] = 0; // a proc that filled the whole buffer still gives a text
        return 1;
    }
    // Anything but a choice or a cancel counts as a failed dialog.
    if (answer != 0 && extendedError) *extendedError = kHostDialogFailure;
    return 0;
}

} // namespace plat
} // namespace tvn
