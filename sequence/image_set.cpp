// CRGBAImageSet: frame slots shared by the host's getFrame and the preloader's
// pass. A slot changes only under the preloader's lock, and only for an instant:
// whoever finds it empty marks it as being loaded, loads the file with no lock
// held and then stores the image. Everyone else waits for that one load rather
// than loading the frame twice, and a pass never unloads the current frame, so
// the pointer getFrame returned last stays valid.
#include <cstring>

#include "pixel/module_start.h"
#include "platform/message_record.h"
#include "sequence/frame_names.h"
#include "sequence/preloader.h"

namespace plat = tvn::plat;

namespace {

char gLoadingSentinel;
// The image of a slot whose frame is being loaded by some thread.
CRGBAImage* const kLoading = reinterpret_cast<CRGBAImage*>(&gLoadingSentinel);

bool isImage(const CRGBAImage* image) {
    return image && image != kLoading;
}

// The frames the calling thread is loading, innermost first: a getFrame of one
// of them from inside its own load (a message proc that redraws while load
// reports a broken file) must not wait for itself. Each entry lives on the
// stack of the load it marks.
struct LoadingHere {
    const CRGBAImageSet* set;
    unsigned index;
    const LoadingHere* outer;
};
thread_local const LoadingHere* t_loading = nullptr;

bool loadingHere(const CRGBAImageSet* set, unsigned index) {
    for (const LoadingHere* l = t_loading; l; l = l->outer)
        if (l->set == set && l->index == index) return true;
    return false;
}

// Marks (set, index) as loaded by this thread for the life of the object.
class LoadingMark {
public:
    LoadingMark(const CRGBAImageSet* set, unsigned index) : m_here{set, index, t_loading} { t_loading = &m_here; }
    ~LoadingMark() { t_loading = m_here.outer; }

private:
    LoadingMark(const LoadingMark&) = delete;
    LoadingMark& operator=(const LoadingMark&) = delete;
    LoadingHere m_here;
};

// The frame read from its file, or null when it cannot be: a missing or broken
// file, which load reports itself; or no memory, which is recorded as the
// thread's failure without a box.
CRGBAImage* loadFrame(const char* name) {
    if (!name) return nullptr;
    CRGBAImage* image = nullptr;
    try {
        image = new CRGBAImage;
        if (image->load(name, 0)) return image;
    } catch (const char* text) {
        tvn::plat::recordFailure(text);
    } catch (...) {
        tvn::plat::recordFailure(tvn::pixel::messageText(tvn::pixel::Msg::OutOfMemory));
    }
    delete image;
    return nullptr;
}

// The window of a pass as 32-bit signed arithmetic gives it, then held to the
// slots that exist (a window of more than 2^31 frames could otherwise wrap).
void windowOf(unsigned n, unsigned c, unsigned behind, unsigned ahead, unsigned* first, unsigned* last) {
    const int before = static_cast<int>(c - behind);
    *first = before >= 0 ? static_cast<unsigned>(before) : 0;
    const int after = static_cast<int>(c + ahead);
    *last = static_cast<int>(n - 1) >= after ? static_cast<unsigned>(after) : n - 1;
    if (*last > n - 1) *last = n - 1;
}

using FRAME_SLOTS = std::vector<std::pair<CRGBAImage*, char*>>;

// Fresh copies of the names of `from`, each with no image.
void copyNames(const FRAME_SLOTS& from, FRAME_SLOTS& to) {
    to.reserve(from.size());
    for (const auto& slot : from) {
        char* name = tvn::sequence::newFrameName();
        if (name && slot.second) std::strncpy(name, slot.second, TVN_MAX_PATH - 1);
        to.emplace_back(nullptr, name);
    }
}

void releaseSlots(FRAME_SLOTS& slots) {
    for (auto& slot : slots) {
        if (isImage(slot.first)) delete slot.first;
        tvn::sequence::freeFrameName(slot.second);
    }
    FRAME_SLOTS().swap(slots);
}

} // namespace

CRGBAImageSet::CRGBAImageSet() {}

CRGBAImageSet::CRGBAImageSet(const char* fileName) {
    FRAME_NAME_LIST names;
    tvn::sequence::enumerateFrameFiles(fileName, names);
    try {
        m_vecFrames.reserve(names.size());
    } catch (...) {
        tvn::sequence::freeFrameNames(names);
        throw;
    }
    for (char* name : names) m_vecFrames.emplace_back(nullptr, name);
    CRGBAImageSet::preloadAll();
}

CRGBAImageSet::CRGBAImageSet(const CRGBAImageSet& other) : CRGBAVideo(other) {
    copyNames(other.m_vecFrames, m_vecFrames);
    CRGBAImageSet::preloadAll();
}

CRGBAImageSet& CRGBAImageSet::operator=(const CRGBAImageSet& other) {
    if (this == &other) return *this;
    stopPreloading();
    releaseSlots(m_vecFrames);
    CRGBAVideo::operator=(other);
    copyNames(other.m_vecFrames, m_vecFrames);
    CRGBAImageSet::preloadAll();
    return *this;
}

CRGBAImageSet::~CRGBAImageSet() {
    stopPreloading(); // no pass may reach the slots released below
    releaseSlots(m_vecFrames);
}

unsigned int CRGBAImageSet::getNumFrames() {
    return static_cast<unsigned int>(m_vecFrames.size());
}

CRGBAImage* CRGBAImageSet::getFrame(unsigned int index) {
    if (index >= m_vecFrames.size()) return nullptr;
    CVideoPreloader& preloader = *m_pVideoPreloader;
    std::pair<CRGBAImage*, char*>& slot = m_vecFrames[index];
    CRGBAImage* image;
    {
        plat::LockHold hold(preloader.lock());
        while (slot.first == kLoading) {
            if (loadingHere(this, index)) return nullptr; // this thread's own load, further out
            preloader.slotFilled().wait(preloader.lock());
        }
        image = slot.first;
        if (image) m_nCurFrame = index;
        else slot.first = kLoading;
    }
    if (!image) {
        {
            LoadingMark mark(this, index);
            image = loadFrame(slot.second);
        }
        {
            plat::LockHold hold(preloader.lock());
            slot.first = image;
            if (image) m_nCurFrame = index; // current before anyone can unload it
        }
        preloader.slotFilled().wakeAll();
        if (!image) return nullptr;
    }
    preloadAll();
    return image;
}

void CRGBAImageSet::preloadAll() {
    {
        plat::LockHold hold(m_pVideoPreloader->lock());
        m_nKeepBehind = m_nKeepAhead = static_cast<unsigned int>(m_vecFrames.size()) - 1;
    }
    m_pVideoPreloader->requestPreload(this);
}

void CRGBAImageSet::preloadFrames() {
    const unsigned n = static_cast<unsigned>(m_vecFrames.size());
    if (n == 0) return;
    CVideoPreloader& preloader = *m_pVideoPreloader;
    unsigned first, last;
    {
        plat::LockHold hold(preloader.lock());
        windowOf(n, m_nCurFrame, m_nKeepBehind, m_nKeepAhead, &first, &last);
    }

    // Everything outside the window goes before anything is loaded.
    for (unsigned i = 0; i < n; ++i) {
        if (i >= first && i <= last) continue;
        CRGBAImage* gone = nullptr;
        {
            plat::LockHold hold(preloader.lock());
            if (isImage(m_vecFrames[i].first) && i != m_nCurFrame) {
                gone = m_vecFrames[i].first;
                m_vecFrames[i].first = nullptr;
            }
        }
        delete gone;
    }

    for (unsigned i = first; i <= last && i < n; ++i) {
        if (preloader.passStopRequested(this)) return; // the set is being destroyed
        std::pair<CRGBAImage*, char*>& slot = m_vecFrames[i];
        {
            plat::LockHold hold(preloader.lock());
            if (slot.first) continue; // loaded, or being loaded by getFrame
            slot.first = kLoading;
        }
        CRGBAImage* image;
        {
            LoadingMark mark(this, i);
            image = loadFrame(slot.second);
        }
        {
            plat::LockHold hold(preloader.lock());
            slot.first = image;
        }
        preloader.slotFilled().wakeAll();
    }

    VIDEO_PRELOAD_PROC callback;
    void* param;
    {
        plat::LockHold hold(preloader.lock());
        callback = m_pfnPreloadCallback;
        param = m_pPreloadParam;
    }
    if (callback) callback(param); // may destroy this set: nothing of it is touched afterwards
}
