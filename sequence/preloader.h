// The one background loader every video of the process shares: a worker thread
// that serves a stack of videos waiting for a preload pass, one pass at a time.
#ifndef TIVORN_SEQUENCE_PRELOADER_H
#define TIVORN_SEQUENCE_PRELOADER_H

#include <atomic>
#include <vector>

#include "platform/threads.h"
#include "tivorn/video.h"

// The pending stack and the worker follow these rules:
// - requestPreload pushes; each wake-up of the worker serves only the video on
//   top, so requests made before the worker wakes leave all but the last one
//   waiting beneath every later request. The entry served is the one removed,
//   even when the pass's callback pushes more.
// - m_csPending is held only for short steps (a push, a take, a slot or field
//   change), never across a pass or a frame's load: a host thread never waits
//   for a pass to end, except to destroy the video whose pass is running.
// - A video being destroyed is taken out of the stack; if its pass runs, the
//   pass is asked to stop at the next frame and the destructor waits for it.
// - Without an event or a worker thread (creation failed), requests are
//   dropped: frames then load only through getFrame.
class CVideoPreloader {
public:
    CVideoPreloader();
    virtual ~CVideoPreloader();

    int requestPreload(CRGBAVideo* video);
    // Removes every request for video; waits for its running pass, unless that
    // pass is the calling thread's own (a callback destroying its video).
    void withdraw(CRGBAVideo* video);
    // True while video's running pass has been asked to stop.
    bool passStopRequested(const CRGBAVideo* video) const {
        return m_pStopping.load(std::memory_order_acquire) == video;
    }
    bool isWorkerThread();
    // Waits until video's pass is not running and the worker has acted on every
    // wake-up given so far: for tests and measurements, which must know that the
    // background work asked for is done. (Requests left beneath later ones, see
    // above, are not waited for: nothing will serve them.)
    void waitForPasses(const CRGBAVideo* video);

    // Guards the five fields of every video and the frame slots of every set.
    tvn::plat::RecursiveLock& lock() { return m_csPending; }

    // What a set may keep loaded beyond its floor (bytes, 0: no cap) and its
    // floor (the keepReady the host asked for last: frames each way of the
    // current one always kept). Kept here, as the sets' layout is fixed. With
    // lock() held.
    struct Limits {
        unsigned long long budget;
        unsigned floor;
    };
    Limits limitsOf(const CRGBAVideo* video) const;
    // false when there was no memory to keep them.
    bool setBudget(const CRGBAVideo* video, unsigned long long bytes);
    bool setFloor(const CRGBAVideo* video, unsigned floor);
    // Drops what is kept of a video that is being destroyed.
    void forget(const CRGBAVideo* video);
    // Woken when a frame slot is filled; wait with lock() held once.
    tvn::plat::Condition& slotFilled() { return m_condSlotFilled; }

    int m_nVideoCount; // live videos; the preloader lives while it is above 0

private:
    CVideoPreloader(const CVideoPreloader&) = delete;
    CVideoPreloader& operator=(const CVideoPreloader&) = delete;

    static void threadProc(void* self);
    void serve();

    struct VideoLimits {
        const CRGBAVideo* video;
        Limits limits;
    };
    VideoLimits* limitsEntry(const CRGBAVideo* video);

    std::vector<CRGBAVideo*> m_vecPending;
    std::vector<VideoLimits> m_vecLimits; // videos whose limits differ from the defaults
    HANDLE m_hThread;
    HANDLE m_hEvent;
    tvn::plat::RecursiveLock m_csPending;
    tvn::plat::Condition m_condSlotFilled;
    // Woken when a pass ends or the worker finds the stack empty. Kept apart from
    // m_condSlotFilled so that a thread waiting for a pass to end is not woken
    // for every frame the pass loads.
    tvn::plat::Condition m_condPassEnded;
    CRGBAVideo* m_pRunning;                    // the video whose pass the worker runs
    std::atomic<const CRGBAVideo*> m_pStopping; // m_pRunning when asked to stop, else null
    unsigned long m_dwWorkerId;
    bool m_bStop;
    bool m_bWakePending; // signalled, and the worker has not taken from the stack since
};

#endif
