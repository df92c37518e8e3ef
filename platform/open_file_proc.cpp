// The host's open-file dialog: installed through tvnSetOpenFileProc, it takes
// the place of the platform's dialog on every platform.
#include "platform/open_file_proc.h"
#include "platform/dialogs.h"
#include "tivorn/host.h"

#include <atomic>

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

int runHostOpenFileProc(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                        unsigned long* extendedError, int* result) {
    TVN_OPEN_FILE_PROC proc = g_proc.load();
    if (!proc) return 0;
    if (extendedError) *extendedError = 0;
    if (chosen && chosenSize > 0) chosen[0] = 0;
    int answer = proc(startFolder, filters, chosen, chosenSize, g_user.load());
    if (answer == 1 && chosen && chosenSize > 0) {
        chosen[chosenSize - 1] = 0; // a proc that filled the whole buffer still gives a text
        *result = 1;
    } else {
        // Anything but a choice or a cancel counts as a failed dialog.
        if (answer != 0 && extendedError) *extendedError = kHostDialogFailure;
        *result = 0;
    }
    return 1;
}

} // namespace plat
} // namespace tvn
