#include "play_source.h"

#include <new>
#include <vector>

namespace cli {
namespace {

class CRunSource : public CFrameSource {
public:
    CRunSource(const std::string& name, long keepReady) : m_set(name.c_str()), m_nKeep(keepReady) {
        if (m_nKeep >= 0) m_set.keepReady(static_cast<unsigned>(m_nKeep));
    }
    unsigned count() override { return m_set.getNumFrames(); }
    bool fetch(unsigned index, PLAY_FRAME& frame) override {
        CRGBAImage* image = m_set.getFrame(index);
        if (!image) return false;
        frame = PLAY_FRAME{image->getBuffer(), image->getWidth(), image->getHeight()};
        return true;
    }
    void afterFetch() override {
        if (m_nKeep >= 0) m_set.keepReady(static_cast<unsigned>(m_nKeep));
    }

private:
    CRGBAImageSet m_set;
    long m_nKeep;
};

class CCacheSource : public CFrameSource {
public:
    CCacheSource(const std::string& path, unsigned entry)
        : m_strPath(path), m_handle(m_rw.openFile(path.c_str(), 0)), m_nEntry(entry), m_nCount(0) {}
    ~CCacheSource() override { m_rw.closeFile(m_handle); }

    bool open() {
        KAC_ENTRY_INFO info;
        if (!m_handle) {
            error(m_strPath + ": not a readable cache file (tivorn cache verify " + m_strPath + " names the fault)");
            return false;
        }
        if (!m_rw.getCacheEntryInfo(m_handle, m_nEntry, &info)) {
            error(m_strPath + ": no entry " + std::to_string(m_nEntry) + " (it has " +
                  std::to_string(m_rw.getNumCacheEntries(m_handle)) + ")");
            return false;
        }
        m_nCount = info.nNumFrames;
        return true;
    }
    unsigned count() override { return m_nCount; }
    bool fetch(unsigned index, PLAY_FRAME& frame) override {
        TVN_DWORD w = 0, h = 0;
        bool ok = m_rw.getFrameSize(m_handle, m_nEntry, index, &w, &h) && w && h;
        if (ok) {
            try {
                m_pixels.resize(static_cast<std::size_t>(w) * h);
            } catch (const std::exception&) {
                ok = false;
            }
        }
        if (!ok || !m_rw.getFrameData(m_handle, m_nEntry, index, m_pixels.data())) {
            error(m_strPath + ": frame " + std::to_string(index) + " cannot be read");
            return false;
        }
        frame = PLAY_FRAME{m_pixels.data(), w, h};
        return true;
    }

private:
    std::string m_strPath;
    CKACReaderWriter m_rw;
    TVN_DWORD m_handle;
    unsigned m_nEntry;
    unsigned m_nCount;
    std::vector<TVN_DWORD> m_pixels; // one frame, reused while the size stays
};

} // namespace

std::unique_ptr<CFrameSource> openFrameRun(const std::string& name, long keepReady) {
    std::unique_ptr<CFrameSource> run(new CRunSource(name, keepReady));
    if (!run->count()) {
        error(name + ": no such file, so no frames");
        return nullptr;
    }
    return run;
}

std::unique_ptr<CFrameSource> openCacheEntry(const std::string& path, unsigned entry) {
    std::unique_ptr<CCacheSource> cache(new CCacheSource(path, entry));
    if (!cache->open()) return nullptr;
    return std::unique_ptr<CFrameSource>(cache.release());
}

} // namespace cli
