// The one way out for every message box of the library: the host's proc when it
// installed one, else the platform's own box.
#include "platform/module.h"
#include "tivorn/host.h"

#include <atomic>

namespace {
std::atomic<TVN_MESSAGE_PROC> g_proc{nullptr};
std::atomic<void*> g_user{nullptr};
const char kCaption[] = "tivorn.dll";
} // namespace

extern "C" TVN_API void TVN_CDECL tvnSetMessageProc(TVN_MESSAGE_PROC proc, void* user) {
    g_user.store(user);
    g_proc.store(proc);
}

namespace tvn {
namespace plat {

void showMessage(const char* text, HWND owner) {
    TVN_MESSAGE_PROC proc = g_proc.load();
    if (proc)
        proc(text, kCaption, g_user.load());
    else
        defaultMessageBox(text, kCaption, owner);
}

} // namespace plat
} // namespace tvn
