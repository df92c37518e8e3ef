// Threads, events, locks and the clock over POSIX threads.
#include "platform/system.h"

#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>
#include <new>

namespace tvn {
namespace plat {
namespace {

struct Thread {
    pthread_t id;
    bool joined;
};

// Handed to the new thread, which frees it: the handle may be closed first.
struct Start {
    void (*routine)(void*);
    void* argument;
};

struct Event {
    pthread_mutex_t mutex;
    pthread_cond_t wake;
    bool signalled;
};

bool isHandle(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE;
}

void* threadEntry(void* parameter) {
    const Start start = *static_cast<Start*>(parameter);
    delete static_cast<Start*>(parameter);
    start.routine(start.argument);
    return nullptr;
}

pthread_mutex_t* mutexIn(LockStorage* lock) {
    return reinterpret_cast<pthread_mutex_t*>(lock->bytes);
}

pthread_cond_t* conditionIn(ConditionStorage* condition) {
    return reinterpret_cast<pthread_cond_t*>(condition->bytes);
}

static_assert(sizeof(pthread_mutex_t) <= sizeof(LockStorage::bytes), "a mutex fits the lock's room");
static_assert(sizeof(pthread_cond_t) <= sizeof(ConditionStorage::bytes), "a condition fits its room");

} // namespace

HANDLE sys::threadStart(void (*routine)(void*), void* argument) {
    Thread* thread = new (std::nothrow) Thread{pthread_t(), false};
    Start* start = new (std::nothrow) Start{routine, argument};
    if (!thread || !start || pthread_create(&thread->id, nullptr, threadEntry, start) != 0) {
        delete thread;
        delete start;
        return INVALID_HANDLE_VALUE;
    }
    return thread;
}

void sys::threadJoin(HANDLE handle) {
    if (!isHandle(handle)) return;
    Thread* thread = static_cast<Thread*>(handle);
    if (thread->joined) return;
    pthread_join(thread->id, nullptr);
    thread->joined = true;
}

void sys::threadClose(HANDLE handle) {
    if (!isHandle(handle)) return;
    Thread* thread = static_cast<Thread*>(handle);
    if (!thread->joined) pthread_detach(thread->id); // a closed handle does not end the thread, as on Windows
    delete thread;
}

unsigned long sys::threadId() {
    return static_cast<unsigned long>(pthread_self());
}

unsigned sys::processorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return static_cast<unsigned>(n);
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<unsigned>(online) : 1u;
}

HANDLE sys::eventCreate() {
    Event* event = new (std::nothrow) Event;
    if (!event) return INVALID_HANDLE_VALUE;
    pthread_mutex_init(&event->mutex, nullptr);
    pthread_cond_init(&event->wake, nullptr);
    event->signalled = false;
    return event;
}

void sys::eventSignal(HANDLE handle) {
    if (!isHandle(handle)) return;
    Event* event = static_cast<Event*>(handle);
    pthread_mutex_lock(&event->mutex);
    event->signalled = true;
    pthread_cond_signal(&event->wake);
    pthread_mutex_unlock(&event->mutex);
}

void sys::eventWait(HANDLE handle) {
    if (!isHandle(handle)) return;
    Event* event = static_cast<Event*>(handle);
    pthread_mutex_lock(&event->mutex);
    while (!event->signalled) pthread_cond_wait(&event->wake, &event->mutex);
    event->signalled = false;
    pthread_mutex_unlock(&event->mutex);
}

void sys::eventClose(HANDLE handle) {
    if (!isHandle(handle)) return;
    Event* event = static_cast<Event*>(handle);
    pthread_cond_destroy(&event->wake);
    pthread_mutex_destroy(&event->mutex);
    delete event;
}

void sys::lockInit(LockStorage* lock) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(mutexIn(lock), &attributes);
    pthread_mutexattr_destroy(&attributes);
}

void sys::lockEnter(LockStorage* lock) {
    pthread_mutex_lock(mutexIn(lock));
}

void sys::lockLeave(LockStorage* lock) {
    pthread_mutex_unlock(mutexIn(lock));
}

void sys::lockDestroy(LockStorage* lock) {
    pthread_mutex_destroy(mutexIn(lock));
}

void sys::conditionInit(ConditionStorage* condition) {
    pthread_cond_init(conditionIn(condition), nullptr);
}

void sys::conditionWait(ConditionStorage* condition, LockStorage* lock) {
    pthread_cond_wait(conditionIn(condition), mutexIn(lock));
}

void sys::conditionWakeAll(ConditionStorage* condition) {
    pthread_cond_broadcast(conditionIn(condition));
}

void sys::conditionDestroy(ConditionStorage* condition) {
    pthread_cond_destroy(conditionIn(condition));
}

unsigned long long sys::clockNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<unsigned long long>(now.tv_sec) * 1000000000ull + static_cast<unsigned long long>(now.tv_nsec);
}

} // namespace plat
} // namespace tvn
