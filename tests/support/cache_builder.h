// Cache files, numbered frame files and opened caches made in code, for the
// cache, sequence and fault-walk tests.
#ifndef TIVORN_TEST_CACHE_BUILDER_H
#define TIVORN_TEST_CACHE_BUILDER_H

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cache/cache_format.h"
#include "platform/files.h"
#include "support/helpers.h"
#include "tivorn.h"

namespace tvntest {

struct CacheFrame {
    std::string name;
    FILETIME time;
    TVN_DWORD width, height;
    std::vector<unsigned char> packed;
    TVN_DWORD hole = 0; // zeros after the packed bytes, counted but not in the bytes built (a hole in the file)
};
struct CacheEntry {
    std::string name;
    std::vector<CacheFrame> frames;
};

// A reader-writer and the handle of one file it opened (none when made empty).
struct Cache {
    CKACReaderWriter rw;
    TVN_DWORD h = 0;
    Cache() = default;
    Cache(const std::string& path, int writable) : h(rw.openFile(path.c_str(), writable)) {}
};

inline std::vector<unsigned char> packPixels(const std::vector<TVN_DWORD>& px, TVN_DWORD w, TVN_DWORD h) {
    CRGBAImage image(px.data(), w, h);
    return packed(image);
}

// The time stamp the library takes of a file.
inline FILETIME fileTime(const std::string& path) {
    FILETIME t{};
    HANDLE h = tvn::plat::fileOpen(path.c_str(), tvn::plat::FileQuery);
    tvn::plat::fileLastWriteTime(h, &t);
    tvn::plat::fileClose(h);
    return t;
}

// The bytes the library writes for `entries`, laid out by hand (offsets count the holes).
inline std::vector<unsigned char> buildCache(const std::vector<CacheEntry>& entries) {
    std::vector<unsigned char> out(tvn::cache::kMagic, tvn::cache::kMagic + 19);
    auto u32 = [&out](TVN_DWORD v) { for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i))); };
    auto text = [&](const std::string& s) { u32(static_cast<TVN_DWORD>(s.size())); out.insert(out.end(), s.begin(), s.end()); };
    std::vector<TVN_DWORD> entryOffsets;
    TVN_DWORD holes = 0;
    for (const CacheEntry& e : entries) {
        entryOffsets.push_back(static_cast<TVN_DWORD>(out.size()) + holes);
        text(e.name);
        u32(static_cast<TVN_DWORD>(e.frames.size()));
        TVN_DWORD at = static_cast<TVN_DWORD>(out.size() + 4 * e.frames.size()) + holes;
        for (const CacheFrame& f : e.frames) {
            u32(at);
            at += static_cast<TVN_DWORD>(24 + f.name.size() + f.packed.size()) + f.hole;
        }
        for (const CacheFrame& f : e.frames) {
            text(f.name);
            u32(f.time.dwLowDateTime);
            u32(f.time.dwHighDateTime);
            u32(f.width);
            u32(f.height);
            u32(static_cast<TVN_DWORD>(f.packed.size()) + f.hole);
            out.insert(out.end(), f.packed.begin(), f.packed.end());
            holes += f.hole;
        }
    }
    for (TVN_DWORD o : entryOffsets) u32(o);
    u32(static_cast<TVN_DWORD>(entries.size()));
    return out;
}

// A numbered run of TGA frames in the temporary folder, removed on destruction.
class FrameFiles {
public:
    FrameFiles(const std::string& tag, int count, TVN_DWORD w, TVN_DWORD h, unsigned seed) : m_w(w), m_h(h) {
        m_base = (std::filesystem::temp_directory_path() / ("tvc_" + tag + "_")).string();
        for (int i = 0; i < count; ++i) {
            m_pixels.push_back(randomPixels(w, h, seed + i));
            CRGBAImage(m_pixels.back().data(), w, h).saveTGA(name(i).c_str());
        }
    }
    ~FrameFiles() { removeAll(); }
    void removeAll() const {
        for (std::size_t i = 0; i < m_pixels.size(); ++i) std::remove(name(static_cast<int>(i)).c_str());
    }
    std::string name(int i) const {
        char number[16];
        std::snprintf(number, sizeof number, "%04d.tga", i);
        return m_base + number;
    }
    const std::vector<TVN_DWORD>& pixels(int i) const { return m_pixels[i]; }
    // The entry the library makes of this run, with the time stamps it takes.
    CacheEntry entry() const {
        CacheEntry e{name(0), {}};
        for (int i = 0; i < static_cast<int>(m_pixels.size()); ++i)
            e.frames.push_back({name(i), fileTime(name(i)), m_w, m_h, packPixels(m_pixels[i], m_w, m_h)});
        return e;
    }

private:
    std::string m_base;
    TVN_DWORD m_w, m_h;
    std::vector<std::vector<TVN_DWORD>> m_pixels;
};

} // namespace tvntest

#endif
