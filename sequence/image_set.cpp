// CRGBAImageSet: frame slots shared by the host's getFrame and the preloader's
// pass. A slot changes only under the preloader's lock, and only for an instant:
// whoever finds it empty marks it as being loaded, loads the file with no lock
// held and then stores the image. Everyone else waits for that one load rather
// than loading the frame twice, and a pass never unloads the current frame, so
// the pointer getFrame returned last stays valid.
#include <cstring>

#include "pixel/module_start.h"
#include "platform/message_record.h"
#include "pixel/worker_pool.h"
#include "sequence/frame_names.h"
#include "sequence/pass_plan.h"
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

namespace {

// The bytes a loaded frame holds.
unsigned long long bytesOf(const CRGBAImage* image) {
    return static_cast<unsigned long long>(image->getWidth()) * image->getHeight() * 4;
}

} // namespace

// A pass on the worker pool: every thread serving it (the background thread
// that runs the pass, and the pool's) takes the next frame to load from a plan
// made again each time, so that the pass follows the current frame while it
// runs: the window around it, its order of need and the memory budget (see
// pass_plan.h). What the plan no longer keeps is freed before the next load.
// Each frame is marked as being loaded while its file is read, so that getFrame
// waits for that frame only, or loads a frame not yet started itself. The pass
// ends when nothing in the window is left to load.
class CRGBAImageSet::FrameLoads : public tvn::pixel::BandWork {
public:
    explicit FrameLoads(CRGBAImageSet& set) : m_set(set) {}

    void serve(tvn::pixel::BandCursor& cursor) override {
        CVideoPreloader& preloader = *m_pVideoPreloader;
        unsigned piece;
        while (cursor.next(&piece)) {
            if (preloader.passStopRequested(&m_set)) { // the set is being destroyed
                cursor.stop();
                return;
            }
            unsigned i = 0;
            std::vector<CRGBAImage*> gone;
            const bool found = nextFrame(&i, &gone);
            for (CRGBAImage* image : gone) delete image;
            if (!found) {
                cursor.stop();
                return;
            }
            CRGBAImage* image;
            {
                LoadingMark mark(&m_set, i);
                image = loadFrame(m_set.m_vecFrames[i].second);
            }
            {
                plat::LockHold hold(preloader.lock());
                m_set.m_vecFrames[i].first = image;
            }
            preloader.slotFilled().wakeAll();
        }
    }

private:
    // Plans the set as it is now: takes what the plan frees (into gone) and
    // marks the first frame to load; false when there is none.
    bool nextFrame(unsigned* frame, std::vector<CRGBAImage*>* gone) {
        CVideoPreloader& preloader = *m_pVideoPreloader;
        FRAME_SLOTS& slots = m_set.m_vecFrames;
        try {
            plat::LockHold hold(preloader.lock());
            const CVideoPreloader::Limits limits = preloader.limitsOf(&m_set);
            const tvn::sequence::PassRequest request = {static_cast<unsigned>(slots.size()), m_set.m_nCurFrame,
                                                        m_set.m_nKeepBehind, m_set.m_nKeepAhead, limits.budget,
                                                        limits.floor};
            // A frame not loaded yet is taken to be as large as the last one known.
            unsigned long long known = 0;
            for (const auto& slot : slots)
                if (isImage(slot.first)) known = bytesOf(slot.first);
            if (!known && limits.budget) known = ~0ull / 2; // nothing known: only the floor
            tvn::sequence::planPass(
                request, [&](unsigned i) { return isImage(slots[i].first) ? bytesOf(slots[i].first) : known; },
                [&](unsigned i) { return isImage(slots[i].first); }, &m_plan);
            for (unsigned i : m_plan.unload) {
                if (!isImage(slots[i].first) || i == m_set.m_nCurFrame) continue;
                gone->push_back(slots[i].first);
                slots[i].first = nullptr;
            }
            for (unsigned i : m_plan.keep)
                if (!slots[i].first) { // neither loaded nor being loaded
                    slots[i].first = kLoading;
                    *frame = i;
                    return true;
                }
        } catch (const std::bad_alloc&) { // no memory to plan: the next pass tries again
        }
        return false;
    }

    CRGBAImageSet& m_set;
    tvn::sequence::PassPlan m_plan; // under the preloader's lock
};

void CRGBAImageSet::preloadFrames() {
    const unsigned n = static_cast<unsigned>(m_vecFrames.size());
    if (n == 0) return;
    CVideoPreloader& preloader = *m_pVideoPreloader;
    FrameLoads loads(*this);
    // At most a load per frame and pass; a frame freed and wanted again waits for the next pass.
    tvn::pixel::runBands(loads, n, tvn::pixel::WorkerPool::kMaxCount);
    if (preloader.passStopRequested(this)) return;

    VIDEO_PRELOAD_PROC callback;
    void* param;
    {
        plat::LockHold hold(preloader.lock());
        callback = m_pfnPreloadCallback;
        param = m_pPreloadParam;
    }
    if (callback) callback(param); // may destroy this set: nothing of it is touched afterwards
}

void CRGBAImageSet::keepReady(unsigned int n) {
    {
        plat::LockHold hold(m_pVideoPreloader->lock());
        m_pVideoPreloader->setFloor(this, n);
    }
    CRGBAVideo::keepReady(n);
}

int CRGBAImageSet::setMemoryBudget(TVN_UINT64 bytes) {
    plat::LockHold hold(m_pVideoPreloader->lock());
    return m_pVideoPreloader->setBudget(this, bytes) ? 1 : 0;
}

TVN_UINT64 CRGBAImageSet::getMemoryBudget() {
    plat::LockHold hold(m_pVideoPreloader->lock());
    return m_pVideoPreloader->limitsOf(this).budget;
}
