/* Animations: CRGBAVideo, the base of every animation, and CRGBAImageSet, a
   numbered run of picture files (walk0007.tga, walk0008.tga, ...) found from the
   name of one of them and played as frames 0..n-1.

   Frames are loaded on demand by getFrame and ahead of time by one background
   thread that every video of the process shares (the preloader, created with
   the first video and ended with the last).

   Threads
   - Construct, copy, assign and destroy videos from one host thread at a time.
   - getFrame, keepReady, setPreloadCallback, preloadAll, preloadFrames and
     getNumFrames may be called from any host thread while the preloader runs
     passes. getFrame of a loaded frame never waits for a running pass; of a frame
     that is not loaded it loads that one frame (or waits for the preloader to
     finish loading it), never the whole pass.
   - The preload callback runs on the preloader's thread, once per pass, with no
     lock of the library held: it may call any of the operations above, on any
     video, and may destroy the video whose pass just ended.
   - Destroying a set stops its running pass between two frames and waits only
     for the frame being loaded; a set waiting for a pass is taken out of the queue.
   - The preloader's thread is told to stop and joined before its lock and
     handles are released (with the last video). Destroying the last video from
     inside a preload callback leaves the preloader for the next video instead,
     as a thread cannot wait for itself.
   - If the preloader's event or thread cannot be created, videos still work:
     requests are dropped and frames load only through getFrame.
   - Requests form a stack: one wake-up of the preloader serves the request on
     top only; the entry removed is always the one served.

   Frame pointers
   - getFrame's image belongs to the set: never delete it. A pass never unloads
     the set's current frame (the one getFrame returned last), so that pointer
     stays valid until the next getFrame on the set, or until the set dies.
   - Earlier pointers stay valid as long as their frame is inside the window:
     getFrame widens the window to the whole set, so they are unloaded only after
     keepReady narrows it and a pass runs.
   - Use a frame from one thread at a time; the set does not lock the image.
   - A frame that cannot be loaded (missing or broken file, reported by load
     with its message box, possibly from the preloader's thread; or no memory)
     gives null and stays empty; every later pass and getFrame tries it again. */
#ifndef TIVORN_VIDEO_H
#define TIVORN_VIDEO_H

#include "types.h"
#include "image.h"

#ifdef __cplusplus
#include <utility>
#include <vector>

/* Called on the preloader's thread after each preload pass, with the registered parameter. */
typedef void (TVN_CDECL *VIDEO_PRELOAD_PROC)(void* param);

class CVideoPreloader;
namespace tvn { struct VideoLayout; }

/* The abstract animation. Hosts may derive their own; the order of the virtual
   operations below is part of the DLL's interface and never changes. */
class TVN_API CRGBAVideo {
public:
    /* The preloader every video shares; null while no video exists. */
    static CVideoPreloader* m_pVideoPreloader;

    CRGBAVideo();
    CRGBAVideo(const CRGBAVideo& other);
    CRGBAVideo& operator=(const CRGBAVideo& other);

    virtual ~CRGBAVideo();
    virtual unsigned int getNumFrames() = 0;
    /* The frame's image, or null when index is out of range or it cannot be loaded. */
    virtual CRGBAImage* getFrame(unsigned int index) = 0;
    /* The preload pass; the preloader's thread runs it, a host thread may too. */
    virtual void preloadFrames() = 0;
    /* Here: nothing. A set loads its whole run in the background. */
    virtual void preloadAll();
    /* Keep n frames behind and n ahead of the current one; applies from the next pass.
       The window's ends are worked out in signed 32-bit arithmetic: n of 2^31 or
       more counts as n - 2^32 = -k. The window then runs from current + k to
       current - k: empty (only the current frame stays) when current >= k, else
       from current + k to the last frame; keepReady(2^31) keeps the whole set. To
       keep every frame pass getNumFrames(). Nothing outside the set is reached. */
    virtual void keepReady(unsigned int n);
    /* fn(param) after each pass, on the preloader's thread; null fn switches it off. */
    virtual void setPreloadCallback(VIDEO_PRELOAD_PROC fn, void* param);

protected:
    /* Takes this video out of the preloader's queue and, when its pass is running
       on the preloader's thread, waits for that pass to end (a set's pass stops
       at the next frame). A derived video calls it first in its destructor, so no
       pass reaches what the destructor frees; the base destructor calls it again. */
    void stopPreloading();

    unsigned int m_nCurFrame;   /* the frame getFrame returned last */
    unsigned int m_nKeepBehind; /* frames kept before it */
    unsigned int m_nKeepAhead;  /* frames kept after it */
    VIDEO_PRELOAD_PROC m_pfnPreloadCallback;
    void* m_pPreloadParam;

    friend class CVideoPreloader;
    friend struct tvn::VideoLayout;
};

/* A numbered run of picture files as an animation. Made from one file name: the
   frames are that file and the files numbered after it (walk0007.tga,
   walk0008.tga, ... up to the first missing number; see the README). Names of
   260 characters or more are refused (no frames). Numbers are exact up to
   2^64 - 1 (frame2147483647.tga is followed by frame2147483648.tga); a final
   digit run worth more is not counted on (a run of one frame), and a run ends
   at 2^64 - 1. */
class TVN_API CRGBAImageSet : public CRGBAVideo {
public:
    /* No frames, no pass. */
    CRGBAImageSet();
    /* Finds the run and starts loading all of it in the background. */
    explicit CRGBAImageSet(const char* fileName);
    /* The same names with no frame loaded; starts loading them. */
    CRGBAImageSet(const CRGBAImageSet& other);
    /* Releases this set's frames, then as the copy constructor. */
    CRGBAImageSet& operator=(const CRGBAImageSet& other);
    virtual ~CRGBAImageSet();

    virtual unsigned int getNumFrames();
    /* Loads the frame if needed, makes it current and queues a pass over the whole set. */
    virtual CRGBAImage* getFrame(unsigned int index);
    /* Unloads frames outside the window around the current frame, then loads
       those inside it, then calls the callback, on the calling thread. */
    virtual void preloadFrames();
    /* Widens the window to the whole set and queues a pass. */
    virtual void preloadAll();
    /* As the base's; n is also the set's floor under a memory budget: the
       frames within n of the current one are kept whatever they cost. */
    virtual void keepReady(unsigned int n);

    /* Caps the bytes of pictures the set keeps loaded beyond its floor (0, the
       default: no cap). From the next pass on, the frames of the window are
       loaded in their order (the current one, those ahead of it nearest first,
       then those behind it nearest first) while they fit; the others stay
       unloaded, and loaded ones that no longer fit are freed, the farthest
       behind the current frame first, then the farthest ahead. A frame not
       loaded yet is taken to be as large as the last one loaded. 0 when there
       was no memory to keep the setting. */
    int setMemoryBudget(TVN_UINT64 bytes);
    TVN_UINT64 getMemoryBudget();

private:
    class FrameLoads;
    /* Frame slots: the loaded image (null when not loaded) and the file name. */
    std::vector<std::pair<CRGBAImage*, char*> > m_vecFrames;

    friend struct tvn::VideoLayout;
};

#endif /* __cplusplus */
#endif
