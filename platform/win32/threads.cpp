// Threads, events, locks and the clock over the Win32 kernel calls.
#include "platform/system.h"

#include <new>

namespace tvn {
namespace plat {
namespace {

struct ThreadStart {
    void (*routine)(void*);
    void* argument;
    HMODULE module;
};

// Every thread of the library holds the module it runs in: a host's FreeLibrary
// while one lives leaves the DLL loaded until the thread ends, instead of
// unloading the code under it or joining it under the loader's lock.
DWORD WINAPI threadEntry(LPVOID parameter) {
    ThreadStart start = *static_cast<ThreadStart*>(parameter);
    delete static_cast<ThreadStart*>(parameter);
    start.routine(start.argument);
    if (start.module) FreeLibraryAndExitThread(start.module, 0);
    return 0;
}

bool isHandle(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE;
}

CRITICAL_SECTION* sectionIn(LockStorage* lock) {
    return reinterpret_cast<CRITICAL_SECTION*>(lock->bytes);
}

CONDITION_VARIABLE* conditionIn(ConditionStorage* condition) {
    return reinterpret_cast<CONDITION_VARIABLE*>(condition->bytes);
}

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(LockStorage::bytes), "a critical section fits the lock's room");
static_assert(sizeof(CONDITION_VARIABLE) <= sizeof(ConditionStorage::bytes), "a condition fits its room");

} // namespace

HANDLE sys::threadStart(void (*routine)(void*), void* argument) {
    ThreadStart* start = new (std::nothrow) ThreadStart{routine, argument, nullptr};
    if (!start) return INVALID_HANDLE_VALUE;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&threadEntry),
                            &start->module))
        start->module = nullptr;
    HANDLE thread = CreateThread(nullptr, 0, threadEntry, start, 0, nullptr);
    if (thread) return thread;
    if (start->module) FreeLibrary(start->module);
    delete start;
    return INVALID_HANDLE_VALUE;
}

void sys::threadJoin(HANDLE thread) {
    if (isHandle(thread)) WaitForSingleObject(thread, INFINITE);
}

void sys::threadClose(HANDLE thread) {
    if (isHandle(thread)) CloseHandle(thread);
}

unsigned long sys::threadId() {
    return GetCurrentThreadId();
}

unsigned sys::processorCount() {
    DWORD_PTR process = 0, system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process) {
        unsigned n = 0;
        for (; process; process &= process - 1) ++n;
        return n;
    }
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors ? static_cast<unsigned>(info.dwNumberOfProcessors) : 1u;
}

HANDLE sys::eventCreate() {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return event ? event : INVALID_HANDLE_VALUE;
}

void sys::eventSignal(HANDLE event) {
    if (isHandle(event)) SetEvent(event);
}

void sys::eventWait(HANDLE event) {
    if (isHandle(event)) WaitForSingleObject(event, INFINITE);
}

void sys::eventClose(HANDLE event) {
    if (isHandle(event)) CloseHandle(event);
}

void sys::lockInit(LockStorage* lock) {
    InitializeCriticalSection(sectionIn(lock));
}

void sys::lockEnter(LockStorage* lock) {
    EnterCriticalSection(sectionIn(lock));
}

void sys::lockLeave(LockStorage* lock) {
    LeaveCriticalSection(sectionIn(lock));
}

void sys::lockDestroy(LockStorage* lock) {
    DeleteCriticalSection(sectionIn(lock));
}

void sys::conditionInit(ConditionStorage* condition) {
    InitializeConditionVariable(conditionIn(condition));
}

void sys::conditionWait(ConditionStorage* condition, LockStorage* lock) {
    SleepConditionVariableCS(conditionIn(condition), sectionIn(lock), INFINITE);
}

void sys::conditionWakeAll(ConditionStorage* condition) {
    WakeAllConditionVariable(conditionIn(condition));
}

void sys::conditionDestroy(ConditionStorage*) {} // a condition variable holds nothing to release

unsigned long long sys::clockNanoseconds() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const unsigned long long ticks = static_cast<unsigned long long>(count.QuadPart);
    const unsigned long long perSecond = static_cast<unsigned long long>(frequency.QuadPart);
    return ticks / perSecond * 1000000000ull + ticks % perSecond * 1000000000ull / perSecond;
}

} // namespace plat
} // namespace tvn
