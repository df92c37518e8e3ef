// Threads, events and locks for the background preloader. platform/win32 builds
// them on CreateThread, CreateEventA, CRITICAL_SECTION and condition variables;
// platform/posix on the C++ standard library. Handles are the platform's own on
// Windows and opaque heap objects elsewhere; INVALID_HANDLE_VALUE marks a failure.
#ifndef TIVORN_PLATFORM_THREADS_H
#define TIVORN_PLATFORM_THREADS_H

#include "tivorn/types.h"

namespace tvn {
namespace plat {

// Starts routine(argument) on a new thread at once, with the default stack size.
HANDLE threadStart(void (*routine)(void*), void* argument);
// Waits until the thread has returned from its routine. Never on the thread itself.
void threadJoin(HANDLE thread);
void threadClose(HANDLE thread);
// An id that tells the calling thread from every other live thread.
unsigned long threadCurrentId();
// The number of processors this process may run on (at least 1).
unsigned processorCount();

// Auto-reset event, created not signalled. Signals given while nobody waits
// are not counted: several signals before a wait release exactly one wait,
// and that wait resets the event.
HANDLE eventCreate();
void eventSignal(HANDLE event);
void eventWait(HANDLE event); // no time-out
void eventClose(HANDLE event);

// A lock the owning thread may enter again; every enter needs its leave.
class RecursiveLock {
public:
    RecursiveLock();
    ~RecursiveLock();
    void enter();
    void leave();

private:
    friend class Condition;
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;
    void* m_pImpl;
};

// Waiting for a state change made under a RecursiveLock. wait() must be called
// with the lock entered exactly once; it leaves it while asleep and enters it
// again before returning. Wake-ups may be spurious: re-check the state.
class Condition {
public:
    Condition();
    ~Condition();
    void wait(RecursiveLock& lock);
    void wakeAll();

private:
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;
    void* m_pImpl;
};

// Holds a RecursiveLock for one scope.
class LockHold {
public:
    explicit LockHold(RecursiveLock& lock) : m_lock(lock) { m_lock.enter(); }
    ~LockHold() { m_lock.leave(); }

private:
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;
    RecursiveLock& m_lock;
};

} // namespace plat
} // namespace tvn

#endif
