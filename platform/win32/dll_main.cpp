// Entry point of tivorn.dll: fills the message table on process and thread attach.
#include "platform/module.h"
#include "pixel/module_start.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // A detach with reserved set: the process ends, its other threads are gone.
    if (reason == DLL_PROCESS_DETACH && reserved) tvn::pixel::processEnding();
    tvn::pixel::moduleAttach(instance, static_cast<unsigned>(reason));
    return TRUE;
}
