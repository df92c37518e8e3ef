// The shared library through its exports only, as a host uses it: the message
// table filled at load, the message proc, images across the library boundary.
#include <gtest/gtest.h>

#include <string>

#include "tivorn.h"

namespace {
void TVN_CDECL quiet(const char*, const char*, void*) {}
} // namespace

TEST(Exports, OutOfMemoryCrossesTheBoundaryAsMessageOne) {
    tvnSetMessageProc(&quiet, nullptr);
    std::string text;
    try {
        CRGBAImage huge(0x10000u, 0x10000u);
    } catch (char* t) {
        text = t;
    }
    tvnSetMessageProc(nullptr, nullptr);
    EXPECT_FALSE(text.empty()) << "the library loaded its message table at start";
}

TEST(Exports, ImagesAreUsableByValue) {
    const TVN_DWORD px[4] = {1, 2, 3, 4};
    CRGBAImage a(px, 2, 2);
    CRGBAImage b(a);
    CRGBAImage c;
    c = b;
    EXPECT_EQ(c.getBuffer()[3], 4u);
    EXPECT_EQ(c.getWidthOrig(), 2u);
    CRGBAImage::m_strPath[0] = 'x';
    EXPECT_EQ(CRGBAImage::m_strPath[0], 'x');
    CRGBAImage::m_strPath[0] = 0;
}

TEST(Exports, CacheReaderWritersAreUsableByValue) {
    CKACReaderWriter rw;
    EXPECT_EQ(rw.openFile("no such cache.kac", 0), 0u);
    EXPECT_EQ(rw.getNumCacheEntries(0), -1);
    CKACReaderWriter copy(rw), assigned;
    assigned = copy;
    KAC_ENTRY_INFO info;
    EXPECT_EQ(assigned.getCacheEntryInfo(1, 0, &info), 0);
    EXPECT_EQ(copy.getFileName(1), nullptr);
}

// A host's own video: the base's exported virtual table, counting and data.
struct HostVideo : CRGBAVideo {
    ~HostVideo() { stopPreloading(); }
    unsigned int getNumFrames() { return 1; }
    CRGBAImage* getFrame(unsigned int) { return nullptr; }
    void preloadFrames() {}
};

TEST(Exports, HostsDeriveVideos) {
    {
        HostVideo video;
        video.keepReady(3);
        video.preloadAll();
        CRGBAImageSet none("no-such-frame0001.tga");
        EXPECT_EQ(none.getNumFrames(), 0u);
        EXPECT_EQ(none.getFrame(0), nullptr);
        EXPECT_NE(CRGBAVideo::m_pVideoPreloader, nullptr);
    }
    EXPECT_EQ(CRGBAVideo::m_pVideoPreloader, nullptr);
}
