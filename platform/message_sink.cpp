// The one way out for every message box of the library, and the record of each
// thread's last failure text.
#include "platform/host_hooks.h"
#include "platform/message_record.h"
#include "platform/module.h"
#include "platform/system.h"
#include "tivorn/host.h"

#include <cstring>

namespace {
std::atomic<TVN_MESSAGE_PROC> g_proc{nullptr};
std::atomic<void*> g_user{nullptr};
const char kCaption[] = "tivorn.dll";
// Kept per thread without allocation, so recording never fails or races.
thread_local unsigned long t_number = 0;
thread_local char t_last[512] = "";
} // namespace

extern "C" TVN_API void TVN_CDECL tvnSetMessageProc(TVN_MESSAGE_PROC proc, void* user) {
    g_user.store(user);
    g_proc.store(proc);
}

namespace tvn {
namespace plat {

std::atomic<unsigned long> g_messageSequence{0};

unsigned long lastMessageNumber() { return t_number; }
const char* lastMessage() { return t_last; }

void recordFailure(const char* text) {
    std::strncpy(t_last, text ? text : "", sizeof t_last - 1);
    t_number = g_messageSequence.fetch_add(1, std::memory_order_relaxed) + 1;
}

void showMessage(const char* text, HWND owner) {
    recordFailure(text);
    env().message(text ? text : "", owner);
}

void hooks::message(const char* text, HWND owner) {
    TVN_MESSAGE_PROC proc = g_proc.load();
    if (proc)
        proc(text, kCaption, g_user.load());
    else
        sys::messageBox(text, kCaption, owner);
}

} // namespace plat
} // namespace tvn
