// The worker pool: threads that share the heavy loops of an operation with the
// thread that called it. An operation cuts its work into pieces (bands of rows
// or columns) and hands them to run(); the calling thread always serves its own
// job, and up to count() - 1 pool threads help it. Pieces are taken in order,
// one at a time, by whichever thread is free, so a busy processor slows one
// thread's share, not the whole.
//
// The rules every job keeps:
// - A piece writes only its own part of the output; pieces never wait for one
//   another. Results are the same whoever computes which piece.
// - The calling thread is the only one that talks to the host: it reports
//   progress (BandWork::taken) and acts on an abort (the job stops: no thread
//   takes another piece; the pieces under way end, then run() returns).
// - A pool thread that cannot get its scratch memory leaves the job to the
//   others; the calling thread secures its own before run(), so a job never
//   fails for a helper's sake.
// - run() on a pool thread (work nested in a piece) serves the whole job
//   on that thread: pool threads never wait for one another.
// - A thread that cannot be started leaves the pool with the threads it has
//   (with none, every job runs on its calling thread alone) until the count is
//   set again.
#ifndef TIVORN_PIXEL_WORKER_POOL_H
#define TIVORN_PIXEL_WORKER_POOL_H

#include <atomic>

#include "platform/threads.h"

namespace tvn::pixel {

class BandCursor;

// What every thread serving a job runs, the calling thread included.
class BandWork {
public:
    // Takes pieces with cursor.next() until it returns false. Must not throw.
    virtual void serve(BandCursor& cursor) = 0;
    // On the calling thread only, each time it takes a piece, and once more when
    // none is left: pieces 0 .. taken - 1 have been taken (by any thread).
    // Returning false stops the job.
    virtual bool taken(unsigned taken) {
        (void)taken;
        return true;
    }

protected:
    ~BandWork() {}
};

// One job in flight: its pieces and who serves it. Lives on the caller's stack.
struct BandJob {
    BandJob(BandWork& w, unsigned n) : work(w), pieces(n) {}
    BandWork& work;
    const unsigned pieces;
    std::atomic<unsigned> next{0};
    std::atomic<bool> stopped{false};
    // Under the pool's lock:
    unsigned maxHelpers = 0;
    unsigned helpers = 0; // pool threads that joined so far
    unsigned serving = 0; // threads inside serve(), the caller included
    BandJob* later = nullptr;
};

// A thread's way through one job.
class BandCursor {
public:
    BandCursor(BandJob& job, const std::atomic<bool>* recalled, bool caller)
        : m_job(job), m_recalled(recalled), m_caller(caller) {}
    // The next piece; false when none is left, the job stopped, or (on a pool
    // thread) the pool called this thread back.
    bool next(unsigned* piece);
    // Ends the job: no thread takes another piece.
    void stop() { m_job.stopped.store(true); }
    // True on the thread that called run().
    bool onCaller() const { return m_caller; }

private:
    BandJob& m_job;
    const std::atomic<bool>* m_recalled;
    bool m_caller;
};

class WorkerPool {
public:
    typedef HANDLE (*ThreadStart)(void (*routine)(void*), void* argument);
    // More threads than pieces of a big picture would only wait.
    static constexpr unsigned kMaxCount = 64;

    // Threads come from start (the platform's threadStart in the product).
    explicit WorkerPool(ThreadStart start);
    // Calls shutdown(); no job may be in flight.
    ~WorkerPool();

    // Threads an operation may use, the caller included: n, at most kMaxCount;
    // 0 the processors of the process. Threads beyond n - 1 are called back and
    // joined (unless the call comes from a pool thread: then by a later call);
    // new ones start with the next job that wants them.
    void setCount(unsigned n);
    unsigned count();
    // Pool threads alive now.
    unsigned threads();

    // Serves work's pieces on the calling thread with up to `helpers` pool
    // threads (fewer when count() or the pieces say so). Returns when every
    // thread serving it has left serve(); false when it was stopped or its
    // pieces were not all taken.
    bool run(BandWork& work, unsigned pieces, unsigned helpers);

    // For good: every thread is called back and joined (the calling thread's
    // own excepted); from then on every job runs on its calling thread. Jobs in
    // flight are finished by their callers.
    void shutdown();

private:
    struct Worker;
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    static void threadMain(void* worker);
    void serveJobs(Worker* self);
    BandJob* jobWantingHelp();
    bool onPoolThread() const;
    void startThreads(unsigned wanted);
    void recallBeyond(unsigned keep);
    void joinRecalled();

    const ThreadStart m_start;
    plat::RecursiveLock m_lock;
    plat::Condition m_wake; // pool threads: a job was posted, or a thread recalled
    plat::Condition m_left; // callers: a pool thread left their job
    Worker* m_live;         // started and not recalled, newest first
    unsigned m_liveCount;
    Worker* m_recalled; // to be joined
    BandJob* m_jobs;    // posted, oldest first
    unsigned m_count;
    bool m_startFailed;
    bool m_closed;
};

// The process's pool, made on first use; null only when it could not be made.
// It is never freed: at exit or unload it is shut down (its threads joined),
// and anything that still comes runs on its calling thread.
WorkerPool* processPool();

// work's pieces through the process's pool (on the calling thread alone when
// there is no pool or helpers is 0).
bool runBands(BandWork& work, unsigned pieces, unsigned helpers);

} // namespace tvn::pixel

#endif
