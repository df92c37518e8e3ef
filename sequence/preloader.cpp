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
