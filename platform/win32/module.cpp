// Module start on Windows: DllMain fills the message table from the DLL's own
// string table on process or thread attach.
#include "platform/module.h"
#include "platform/system.h"

namespace tvn {
namespace plat {

int loadString(void* module, unsigned id, char* buffer, int bufferSize) {
    return LoadStringA(static_cast<HINSTANCE>(module), id, buffer, bufferSize);
}

void* moduleInstance() {
    // The DLL when the core is loaded as tivorn.dll; the program itself when the
    // core is linked in statically (the tests), whose resources then hold the table.
    HMODULE module = GetModuleHandleA("tivorn");
    return module ? module : GetModuleHandleA(nullptr);
}

void sys::messageBox(const char* text, const char* caption, HWND owner) {
    MessageBoxA(owner, text, caption, MB_OK | MB_ICONSTOP);
}

} // namespace plat
} // namespace tvn
