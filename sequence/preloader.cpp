#include "sequence/preloader.h"

#include <algorithm>

namespace plat = tvn::plat;

CVideoPreloader::CVideoPreloader()
    : m_nVideoCount(0), m_hThread(INVALID_HANDLE_VALUE), m_hEvent(INVALID_HANDLE_VALUE),
      m_pRunning(nullptr), m_pStopping(nullptr), m_dwWorkerId(0), m_bStop(false),
      m_bWakePending(false) {
    m_hEvent = plat::eventCreate();
    // A worker that cannot be woken would never serve anyone: without the event, none starts.
    if (m_hEvent != INVALID_HANDLE_VALUE) m_hThread = plat::threadStart(threadProc, this);
}

CVideoPreloader::~CVideoPreloader() {
    {
        plat::LockHold hold(m_csPending);
        m_bStop = true;
    }
    plat::eventSignal(m_hEvent);
    plat::threadJoin(m_hThread);
    plat::eventClose(m_hEvent);
    plat::threadClose(m_hThread);
}

int CVideoPreloader::requestPreload(CRGBAVideo* video) {
    if (m_hThread == INVALID_HANDLE_VALUE) return 0;
    {
        plat::LockHold hold(m_csPending);
        m_vecPending.push_back(video);
        m_bWakePending = true;
    }
    plat::eventSignal(m_hEvent);
    return 1;
}

namespace {
const CVideoPreloader::Limits kDefaultLimits = {0, 10}; // no cap; the window a video starts with
}

CVideoPreloader::VideoLimits* CVideoPreloader::limitsEntry(const CRGBAVideo* video) {
    for (VideoLimits& v : m_vecLimits)
        if (v.video == video) return &v;
    try {
        m_vecLimits.push_back(VideoLimits{video, kDefaultLimits});
    } catch (...) {
        return nullptr;
    }
    return &m_vecLimits.back();
}

CVideoPreloader::Limits CVideoPreloader::limitsOf(const CRGBAVideo* video) const {
    for (const VideoLimits& v : m_vecLimits)
        if (v.video == video) return v.limits;
    return kDefaultLimits;
}

bool CVideoPreloader::setBudget(const CRGBAVideo* video, unsigned long long bytes) {
    VideoLimits* v = limitsEntry(video);
    if (v) v->limits.budget = bytes;
    return v != nullptr;
}

bool CVideoPreloader::setFloor(const CRGBAVideo* video, unsigned floor) {
    VideoLimits* v = limitsEntry(video);
    if (v) v->limits.floor = floor;
    return v != nullptr;
}

void CVideoPreloader::forget(const CRGBAVideo* video) {
    plat::LockHold hold(m_csPending);
    for (std::size_t i = 0; i < m_vecLimits.size(); ++i)
        if (m_vecLimits[i].video == video) {
            m_vecLimits.erase(m_vecLimits.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void CVideoPreloader::withdraw(CRGBAVideo* video) {
    plat::LockHold hold(m_csPending);
    m_vecPending.erase(std::remove(m_vecPending.begin(), m_vecPending.end(), video), m_vecPending.end());
    if (m_pRunning != video) return;
    m_pStopping.store(video, std::memory_order_release);
    if (m_dwWorkerId == plat::threadCurrentId()) return; // its own callback: the pass ends next
    while (m_pRunning == video) m_condPassEnded.wait(m_csPending);
}

void CVideoPreloader::waitForPasses(const CRGBAVideo* video) {
    plat::LockHold hold(m_csPending);
    while (m_pRunning == video || m_bWakePending) m_condPassEnded.wait(m_csPending);
}

bool CVideoPreloader::isWorkerThread() {
    plat::LockHold hold(m_csPending);
    return m_hThread != INVALID_HANDLE_VALUE && m_dwWorkerId == plat::threadCurrentId();
}

void CVideoPreloader::threadProc(void* self) {
    static_cast<CVideoPreloader*>(self)->serve();
}

void CVideoPreloader::serve() {
    {
        plat::LockHold hold(m_csPending);
        m_dwWorkerId = plat::threadCurrentId();
    }
    for (;;) {
        plat::eventWait(m_hEvent);
        CRGBAVideo* video;
        {
            plat::LockHold hold(m_csPending);
            if (m_bStop) return;
            m_bWakePending = false;
            if (m_vecPending.empty()) {
                m_condPassEnded.wakeAll();
                continue;
            }
            video = m_vecPending.back();
            m_vecPending.pop_back();
            m_pRunning = video;
        }
        // The video may be gone once its pass returns (its callback may destroy it).
        video->preloadFrames();
        {
            plat::LockHold hold(m_csPending);
            m_pRunning = nullptr;
            m_pStopping.store(nullptr, std::memory_order_release);
        }
        m_condPassEnded.wakeAll();
    }
}
