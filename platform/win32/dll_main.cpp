// Entry point of tivorn.dll: fills the message table on process and thread attach.
#include "platform/module.h"
#include "pixel/module_start.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    tvn::pixel::moduleAttach(instance, static_cast<unsigned>(reason));
    return TRUE;
}
