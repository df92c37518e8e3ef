#include "pixel/worker_pool.h"

#include <new>

#include "pixel/module_start.h"
#include "tivorn/host.h"

namespace tvn::pixel {

struct WorkerPool::Worker {
    WorkerPool* pool;
    HANDLE thread = INVALID_HANDLE_VALUE;
    unsigned long id = 0; // set by the thread itself, under the lock
    std::atomic<bool> recalled{false};
    Worker* next = nullptr;
    explicit Worker(WorkerPool* p) : pool(p) {}
};

namespace {
unsigned limitCount(unsigned n) {
    if (n == 0) n = plat::processorCount();
    if (n == 0) n = 1;
    return n < WorkerPool::kMaxCount ? n : WorkerPool::kMaxCount;
}

bool serveAlone(BandWork& work, BandJob& job) {
    BandCursor cursor(job, nullptr, true);
    work.serve(cursor);
    return !job.stopped.load() && job.next.load() >= job.pieces;
}
} // namespace

bool BandCursor::next(unsigned* piece) {
    if (m_job.stopped.load(std::memory_order_relaxed)) return false;
    if (m_recalled && m_recalled->load(std::memory_order_relaxed)) return false;
    const unsigned i = m_job.next.fetch_add(1);
    if (m_caller) {
        // The caller reports every piece taken so far, its own and the helpers'.
        const unsigned now = m_job.next.load();
        if (!m_job.work.taken(now < m_job.pieces ? now : m_job.pieces)) {
            stop();
            return false;
        }
    }
    if (i >= m_job.pieces) return false;
    *piece = i;
    return true;
}

WorkerPool::WorkerPool(ThreadStart start)
    : m_start(start), m_live(nullptr), m_liveCount(0), m_recalled(nullptr), m_jobs(nullptr),
      m_count(limitCount(0)), m_startFailed(false), m_closed(false) {}

WorkerPool::~WorkerPool() {
    shutdown();
}

void WorkerPool::setCount(unsigned n) {
    {
        plat::LockHold hold(m_lock);
        m_count = limitCount(n);
        m_startFailed = false; // the host may have freed what a failed start lacked
        recallBeyond(m_count - 1);
    }
    joinRecalled();
}

unsigned WorkerPool::count() {
    plat::LockHold hold(m_lock);
    return m_count;
}

unsigned WorkerPool::threads() {
    plat::LockHold hold(m_lock);
    return m_liveCount;
}

void WorkerPool::shutdown() {
    {
        plat::LockHold hold(m_lock);
        m_closed = true;
        recallBeyond(0);
    }
    joinRecalled();
}

bool WorkerPool::run(BandWork& work, unsigned pieces, unsigned helpers) {
    BandJob job(work, pieces);
    bool posted = false;
    if (helpers > 0 && pieces > 1) {
        joinRecalled(); // threads called back earlier from a pool thread
        plat::LockHold hold(m_lock);
        if (!m_closed && !onPoolThread()) {
            startThreads(m_count - 1);
            unsigned want = helpers < pieces - 1 ? helpers : pieces - 1;
            if (want > m_liveCount) want = m_liveCount;
            if (want > 0) {
                job.maxHelpers = want;
                job.serving = 1;
                BandJob** tail = &m_jobs;
                while (*tail) tail = &(*tail)->later;
                *tail = &job;
                posted = true;
                m_wake.wakeAll();
            }
        }
    }
    if (!posted) return serveAlone(work, job);
    BandCursor cursor(job, nullptr, true);
    work.serve(cursor);
    {
        plat::LockHold hold(m_lock);
        for (BandJob** p = &m_jobs; *p; p = &(*p)->later)
            if (*p == &job) {
                *p = job.later;
                break;
            }
        --job.serving;
        while (job.serving > 0) m_left.wait(m_lock);
    }
    return !job.stopped.load() && job.next.load() >= job.pieces;
}

void WorkerPool::threadMain(void* worker) {
    Worker* self = static_cast<Worker*>(worker);
    self->pool->serveJobs(self);
}

void WorkerPool::serveJobs(Worker* self) {
    plat::LockHold hold(m_lock);
    self->id = plat::threadCurrentId();
    while (!self->recalled.load()) {
        BandJob* job = jobWantingHelp();
        if (!job) {
            m_wake.wait(m_lock);
            continue;
        }
        ++job->helpers;
        ++job->serving;
        m_lock.leave();
        BandCursor cursor(*job, &self->recalled, false);
        job->work.serve(cursor);
        m_lock.enter();
        if (--job->serving == 0) m_left.wakeAll();
    }
}

BandJob* WorkerPool::jobWantingHelp() {
    for (BandJob* job = m_jobs; job; job = job->later)
        if (job->helpers < job->maxHelpers && !job->stopped.load() && job->next.load() < job->pieces) return job;
    return nullptr;
}

bool WorkerPool::onPoolThread() const {
    const unsigned long me = plat::threadCurrentId();
    for (const Worker* w = m_live; w; w = w->next)
        if (w->id == me) return true;
    for (const Worker* w = m_recalled; w; w = w->next)
        if (w->id == me) return true;
    return false;
}

// Under the lock. A thread that starts waits for the lock before it serves.
void WorkerPool::startThreads(unsigned wanted) {
    while (!m_startFailed && m_liveCount < wanted) {
        Worker* w = new (std::nothrow) Worker(this);
        if (w) w->thread = m_start(threadMain, w);
        if (!w || w->thread == INVALID_HANDLE_VALUE) {
            delete w;
            m_startFailed = true;
            return;
        }
        w->next = m_live;
        m_live = w;
        ++m_liveCount;
    }
}

// Under the lock: the newest threads beyond `keep` leave after their piece.
void WorkerPool::recallBeyond(unsigned keep) {
    bool any = false;
    while (m_liveCount > keep) {
        Worker* w = m_live;
        m_live = w->next;
        --m_liveCount;
        w->recalled.store(true);
        w->next = m_recalled;
        m_recalled = w;
        any = true;
    }
    if (any) m_wake.wakeAll();
}

// Joins recalled threads outside the lock (they need it to leave). A pool
// thread leaves them for a later call: it could be among them.
void WorkerPool::joinRecalled() {
    Worker* joining;
    {
        plat::LockHold hold(m_lock);
        if (!m_recalled || onPoolThread()) return;
        joining = m_recalled;
        m_recalled = nullptr;
    }
    while (joining) {
        Worker* w = joining;
        joining = w->next;
        plat::threadJoin(w->thread);
        plat::threadClose(w->thread);
        delete w;
    }
}

namespace {
std::atomic<WorkerPool*> g_pool{nullptr};
std::atomic<bool> g_unloaded{false};

WorkerPool* makePool() {
    WorkerPool* pool = nullptr;
    try {
        pool = new WorkerPool(plat::threadStart);
    } catch (...) { // no memory for the pool or its lock: every job runs on its caller
        return nullptr;
    }
    g_pool.store(pool);
    if (g_unloaded.load()) pool->shutdown();
    return pool;
}

// At exit and at unload the pool's threads are called back and joined, so no
// thread runs the library's code once it is gone. The pool itself stays: a
// host thread still inside a job finishes it alone. (A DLL is unloaded only
// once its threads have ended, as each holds it; when the process ends the
// system has already stopped them, and nothing is waited for.)
struct ShutdownAtUnload {
    ~ShutdownAtUnload() {
        g_unloaded.store(true);
        if (isProcessEnding()) return;
        if (WorkerPool* pool = g_pool.load()) pool->shutdown();
    }
} g_shutdownAtUnload;
} // namespace

WorkerPool* processPool() {
    static WorkerPool* const pool = makePool();
    return pool;
}

bool runBands(BandWork& work, unsigned pieces, unsigned helpers) {
    WorkerPool* pool = helpers ? processPool() : nullptr;
    if (pool) return pool->run(work, pieces, helpers);
    BandJob job(work, pieces);
    return serveAlone(work, job);
}

} // namespace tvn::pixel

extern "C" TVN_API void TVN_CDECL tvnSetWorkerCount(unsigned int n) {
    if (tvn::pixel::WorkerPool* pool = tvn::pixel::processPool()) pool->setCount(n);
}
