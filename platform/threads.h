// Threads, events and locks, served by the installed environment: the Win32
// thread, event, critical-section and condition-variable calls, or POSIX
// threads. Handles are INVALID_HANDLE_VALUE on failure.
#ifndef TIVORN_PLATFORM_THREADS_H
#define TIVORN_PLATFORM_THREADS_H

#include "platform/environment.h"

namespace tvn {
namespace plat {

// Starts routine(argument) on a new thread at once, with the default stack size.
inline HANDLE threadStart(void (*routine)(void*), void* argument) {
    return env().threadStart(routine, argument);
}
// Waits until the thread has returned from its routine. Never on the thread itself.
inline void threadJoin(HANDLE thread) {
    env().threadJoin(thread);
}
inline void threadClose(HANDLE thread) {
    env().threadClose(thread);
}
// The one thread id of the library: tells the calling thread from every other
// live thread (an ended thread's id may come back for a new one).
inline unsigned long threadCurrentId() {
    return env().threadId();
}
// The number of processors this process may run on (at least 1).
inline unsigned processorCount() {
    return env().processorCount();
}

// Auto-reset event, created not signalled. Signals given while nobody waits
// are not counted: several signals before a wait release exactly one wait,
// and that wait resets the event.
inline HANDLE eventCreate() {
    return env().eventCreate();
}
inline void eventSignal(HANDLE event) {
    env().eventSignal(event);
}
inline void eventWait(HANDLE event) { // no time-out
    env().eventWait(event);
}
inline void eventClose(HANDLE event) {
    env().eventClose(event);
}

// The library's one lock type: the owning thread may enter it again; every
// enter needs its leave. Making one never fails.
class RecursiveLock {
public:
    RecursiveLock() { env().lockInit(&m_lock); }
    ~RecursiveLock() { env().lockDestroy(&m_lock); }
    void enter() { env().lockEnter(&m_lock); }
    void leave() { env().lockLeave(&m_lock); }

private:
    friend class Condition;
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;
    LockStorage m_lock;
};

// Waiting for a state change made under a RecursiveLock. wait() must be called
// with the lock entered exactly once; it leaves it while asleep and enters it
// again before returning. Wake-ups may be spurious: re-check the state.
class Condition {
public:
    Condition() { env().conditionInit(&m_condition); }
    ~Condition() { env().conditionDestroy(&m_condition); }
    void wait(RecursiveLock& lock) { env().conditionWait(&m_condition, &lock.m_lock); }
    void wakeAll() { env().conditionWakeAll(&m_condition); }

private:
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;
    ConditionStorage m_condition;
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
