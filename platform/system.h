// The system's own services, one function per slot of the environment table
// (platform/environment.h): platform/win32 implements them over the Win32 calls
// the library has always made, platform/posix over POSIX. Only the table and the
// host hooks of platform/ call them; the core goes through env().
#ifndef TIVORN_PLATFORM_SYSTEM_H
#define TIVORN_PLATFORM_SYSTEM_H

#include "platform/environment.h"

namespace tvn {
namespace plat {
namespace sys {

TVN_FILE_SLOTS(TVN_DECLARE_FUNCTION)

void* memoryAlloc(std::size_t bytes, int zero);
void* memoryRealloc(void* block, std::size_t bytes);
void memoryFree(void* block);
void* largeAlloc(std::size_t bytes);
std::size_t largeBytes(void* block);

HANDLE threadStart(void (*routine)(void*), void* argument);
void threadJoin(HANDLE thread);
void threadClose(HANDLE thread);
unsigned long threadId();
unsigned processorCount();
double helperThreshold();
HANDLE eventCreate();
void eventSignal(HANDLE event);
void eventWait(HANDLE event);
void eventClose(HANDLE event);
void lockInit(LockStorage* lock);
void lockEnter(LockStorage* lock);
void lockLeave(LockStorage* lock);
void lockDestroy(LockStorage* lock);
void conditionInit(ConditionStorage* condition);
void conditionWait(ConditionStorage* condition, LockStorage* lock);
void conditionWakeAll(ConditionStorage* condition);
void conditionDestroy(ConditionStorage* condition);

unsigned long long clockNanoseconds();

// The system's own box and dialogs, used when the host installed no proc.
void messageBox(const char* text, const char* caption, HWND owner);
int openFileDialog(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                   unsigned long* extendedError);
int propertiesDialog(HWND owner, CPropertiesHandler& handler); // 0: there is none
int chooseColor(HWND owner, TVN_DWORD* color, TVN_DWORD* customColors);

int processorLevel();

} // namespace sys
} // namespace plat
} // namespace tvn

#endif
