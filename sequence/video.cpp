// CRGBAVideo: the window, the callback and the count of videos that keeps the
// shared preloader alive.
#include "sequence/preloader.h"

namespace plat = tvn::plat;

CVideoPreloader* CRGBAVideo::m_pVideoPreloader = nullptr;

CRGBAVideo::CRGBAVideo()
    : m_nCurFrame(0), m_nKeepBehind(10), m_nKeepAhead(10), m_pfnPreloadCallback(nullptr),
      m_pPreloadParam(nullptr) {
    if (!m_pVideoPreloader) m_pVideoPreloader = new CVideoPreloader;
    ++m_pVideoPreloader->m_nVideoCount;
}

CRGBAVideo::CRGBAVideo(const CRGBAVideo& other) {
    CRGBAVideo::operator=(other); // the same five fields, under the same lock
    ++m_pVideoPreloader->m_nVideoCount;
}

CRGBAVideo& CRGBAVideo::operator=(const CRGBAVideo& other) {
    plat::LockHold hold(m_pVideoPreloader->lock());
    m_nCurFrame = other.m_nCurFrame;
    m_nKeepBehind = other.m_nKeepBehind;
    m_nKeepAhead = other.m_nKeepAhead;
    m_pfnPreloadCallback = other.m_pfnPreloadCallback;
    m_pPreloadParam = other.m_pPreloadParam;
    return *this;
}

CRGBAVideo::~CRGBAVideo() {
    stopPreloading();
    m_pVideoPreloader->forget(this);
    if (--m_pVideoPreloader->m_nVideoCount > 0) return;
    // A thread cannot wait for itself to end: when a preload callback destroys the
    // last video, the preloader stays for the next video to take over.
    if (m_pVideoPreloader->isWorkerThread()) return;
    delete m_pVideoPreloader;
    m_pVideoPreloader = nullptr;
}

void CRGBAVideo::stopPreloading() {
    m_pVideoPreloader->withdraw(this);
}

void CRGBAVideo::preloadAll() {}

void CRGBAVideo::keepReady(unsigned int n) {
    plat::LockHold hold(m_pVideoPreloader->lock());
    m_nKeepAhead = n;
    m_nKeepBehind = n;
}

void CRGBAVideo::setPreloadCallback(VIDEO_PRELOAD_PROC fn, void* param) {
    plat::LockHold hold(m_pVideoPreloader->lock());
    m_pfnPreloadCallback = fn;
    m_pPreloadParam = param;
}
