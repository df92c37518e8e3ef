// Threads, events and locks over the C++ standard library.
#include "platform/threads.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <new>
#include <thread>
#include <sched.h>
#include <unistd.h>

namespace tvn {
namespace plat {
namespace {

struct Event {
    std::mutex mutex;
    std::condition_variable wake;
    bool signalled = false;
};

bool isHandle(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE;
}

std::recursive_mutex& mutexOf(void* impl) {
    return *static_cast<std::recursive_mutex*>(impl);
}

} // namespace

HANDLE threadStart(void (*routine)(void*), void* argument) {
    try {
        return new std::thread(routine, argument);
    } catch (...) { // std::system_error when no thread can be made, or no memory
        return INVALID_HANDLE_VALUE;
    }
}

void threadJoin(HANDLE thread) {
    if (!isHandle(thread)) return;
    std::thread* t = static_cast<std::thread*>(thread);
    if (t->joinable()) t->join();
}

void threadClose(HANDLE thread) {
    if (!isHandle(thread)) return;
    std::thread* t = static_cast<std::thread*>(thread);
    if (t->joinable()) t->detach(); // a closed handle does not end the thread, as on Windows
    delete t;
}

unsigned long threadCurrentId() {
    return static_cast<unsigned long>(std::hash<std::thread::id>()(std::this_thread::get_id()));
}

unsigned processorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return static_cast<unsigned>(n);
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<unsigned>(online) : 1u;
}

HANDLE eventCreate() {
    Event* event = new (std::nothrow) Event;
    return event ? static_cast<HANDLE>(event) : INVALID_HANDLE_VALUE;
}

void eventSignal(HANDLE handle) {
    if (!isHandle(handle)) return;
    Event* event = static_cast<Event*>(handle);
    {
        std::lock_guard<std::mutex> hold(event->mutex);
        event->signalled = true;
    }
    event->wake.notify_one();
}

void eventWait(HANDLE handle) {
    if (!isHandle(handle)) return;
    Event* event = static_cast<Event*>(handle);
    std::unique_lock<std::mutex> hold(event->mutex);
    event->wake.wait(hold, [event] { return event->signalled; });
    event->signalled = false;
}

void eventClose(HANDLE handle) {
    if (isHandle(handle)) delete static_cast<Event*>(handle);
}

RecursiveLock::RecursiveLock() : m_pImpl(new std::recursive_mutex) {}

RecursiveLock::~RecursiveLock() {
    delete &mutexOf(m_pImpl);
}

void RecursiveLock::enter() {
    mutexOf(m_pImpl).lock();
}

void RecursiveLock::leave() {
    mutexOf(m_pImpl).unlock();
}

Condition::Condition() : m_pImpl(new std::condition_variable_any) {}

Condition::~Condition() {
    delete static_cast<std::condition_variable_any*>(m_pImpl);
}

void Condition::wait(RecursiveLock& lock) {
    static_cast<std::condition_variable_any*>(m_pImpl)->wait(mutexOf(lock.m_pImpl));
}

void Condition::wakeAll() {
    static_cast<std::condition_variable_any*>(m_pImpl)->notify_all();
}

} // namespace plat
} // namespace tvn
