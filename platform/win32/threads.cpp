// Threads, events and locks over the Win32 kernel calls.
#include "platform/threads.h"

#include <new>

namespace tvn {
namespace plat {
namespace {

struct ThreadStart {
    void (*routine)(void*);
    void* argument;
};

DWORD WINAPI threadEntry(LPVOID parameter) {
    ThreadStart start = *static_cast<ThreadStart*>(parameter);
    delete static_cast<ThreadStart*>(parameter);
    start.routine(start.argument);
    return 0;
}

bool isHandle(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE;
}

} // namespace

HANDLE threadStart(void (*routine)(void*), void* argument) {
    ThreadStart* start = new (std::nothrow) ThreadStart{routine, argument};
    if (!start) return INVALID_HANDLE_VALUE;
    HANDLE thread = CreateThread(nullptr, 0, threadEntry, start, 0, nullptr);
    if (thread) return thread;
    delete start;
    return INVALID_HANDLE_VALUE;
}

void threadJoin(HANDLE thread) {
    if (isHandle(thread)) WaitForSingleObject(thread, INFINITE);
}

void threadClose(HANDLE thread) {
    if (isHandle(thread)) CloseHandle(thread);
}

unsigned long threadCurrentId() {
    return GetCurrentThreadId();
}

unsigned processorCount() {
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

HANDLE eventCreate() {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return event ? event : INVALID_HANDLE_VALUE;
}

void eventSignal(HANDLE event) {
    if (isHandle(event)) SetEvent(event);
}

void eventWait(HANDLE event) {
    if (isHandle(event)) WaitForSingleObject(event, INFINITE);
}

void eventClose(HANDLE event) {
    if (isHandle(event)) CloseHandle(event);
}

RecursiveLock::RecursiveLock() : m_pImpl(new CRITICAL_SECTION) {
    InitializeCriticalSection(static_cast<CRITICAL_SECTION*>(m_pImpl));
}

RecursiveLock::~RecursiveLock() {
    DeleteCriticalSection(static_cast<CRITICAL_SECTION*>(m_pImpl));
    delete static_cast<CRITICAL_SECTION*>(m_pImpl);
}

void RecursiveLock::enter() {
    EnterCriticalSection(static_cast<CRITICAL_SECTION*>(m_pImpl));
}

void RecursiveLock::leave() {
    LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(m_pImpl));
}

Condition::Condition() : m_pImpl(new CONDITION_VARIABLE) {
    InitializeConditionVariable(static_cast<CONDITION_VARIABLE*>(m_pImpl));
}

Condition::~Condition() {
    delete static_cast<CONDITION_VARIABLE*>(m_pImpl);
}

void Condition::wait(RecursiveLock& lock) {
    SleepConditionVariableCS(static_cast<CONDITION_VARIABLE*>(m_pImpl),
                             static_cast<CRITICAL_SECTION*>(lock.m_pImpl), INFINITE);
}

void Condition::wakeAll() {
    WakeAllConditionVariable(static_cast<CONDITION_VARIABLE*>(m_pImpl));
}

} // namespace plat
} // namespace tvn
