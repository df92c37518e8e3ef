// The demo's animation cache steps: the bundled spin animation packed into a
// cache, read back frame by frame and shown with its sizes.
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "cache_records.h"
#include "demo.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

const unsigned kSpinFrames = 8;

std::string spinName(const fs::path& folder, unsigned k) {
    char name[32];
    std::snprintf(name, sizeof name, "spin%04u.tga", k);
    return (folder / name).string();
}

// Eight small frames of scene.bmp turning, for a pictures folder without the
// bundled animation. Empty when they cannot be made.
std::string makeSpinFrames(const std::string& scene, const fs::path& folder) {
    CRGBAImage source;
    if (!source.load(scene.c_str(), 0) || !source.setSize(64, 64, CRGBAImage::BilinearFilter, nullptr, nullptr))
        return std::string();
    std::error_code ec;
    fs::create_directories(folder, ec);
    const TVN_DWORD* in = source.getBuffer();
    std::vector<TVN_DWORD> frame(64 * 64);
    for (unsigned k = 0; k < kSpinFrames; ++k) {
        const double a = k * 3.14159265358979 / 4, c = std::cos(a), s = std::sin(a);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const int u = static_cast<int>(std::lround(32 + (x - 32) * c - (y - 32) * s));
                const int v = static_cast<int>(std::lround(32 + (x - 32) * s + (y - 32) * c));
                const bool inside = u >= 0 && u < 64 && v >= 0 && v < 64 && (x - 32) * (x - 32) + (y - 32) * (y - 32) < 1024;
                frame[y * 64 + x] = inside ? in[v * 64 + u] : 0;
            }
        CRGBAImage out(frame.data(), 64, 64);
        if (!out.saveTGA(spinName(folder, k).c_str())) return std::string();
    }
    return spinName(folder, 0);
}

int TVN_CDECL onSave(void* user, unsigned done, unsigned total) {
    CProgress* p = static_cast<CProgress*>(user);
    return p->proc()(static_cast<unsigned char>(total ? done * 99u / total : 99u), p->user());
}

} // namespace

bool runCacheSteps(CDemo& demo, const std::string& out) {
    std::string first = demo.picture("spin0000.tga");
    if (!fs::exists(first)) first = makeSpinFrames(demo.picture("scene.bmp"), fs::temp_directory_path() / "tivorn-demo-spin");
    const std::string cache = (fs::path(out) / "spin.kac").string();
    std::remove(cache.c_str());
    bool saved = false;
    {
        CKACReaderWriter rw;
        const TVN_DWORD h = rw.openFile(cache.c_str(), 1);
        demo.progress().begin("packing the animation into spin.kac");
        saved = !first.empty() && h && rw.addEntry(h, first.c_str()) && rw.saveCacheFile(h, &onSave, &demo.progress());
        demo.progress().end();
    }
    if (interruptRequested()) return false;
    std::vector<CACHE_ENTRY_RECORD> records;
    std::string fault;
    if (!saved || !readCacheRecords(cache, records, fault) || records.size() != 1) {
        error("demo: the animation could not be packed into " + cache);
        return demo.shot("cache-frame.png", "Animation cache", "scene.bmp", "", [](CRGBAImage&, CProgress&, std::string&) {
            return false;
        });
    }
    const auto size = fs::file_size(cache);
    CKACReaderWriter rw;
    const TVN_DWORD h = rw.openFile(cache.c_str(), 0);
    bool ok = true;
    for (unsigned k = 0; ok && k < records[0].frames.size(); ++k) {
        const CACHE_FRAME_RECORD& f = records[0].frames[k];
        const std::string file = "cache-frame-" + std::to_string(k) + ".png";
        const std::string title = "Cache frame " + std::to_string(k);
        const std::string note = "read back from spin.kac (" + std::to_string(size) + " bytes, " +
                                 std::to_string(records[0].frames.size()) + " frames): " + std::to_string(f.width) +
                                 "x" + std::to_string(f.height) + ", " + std::to_string(f.packed) + " of " +
                                 std::to_string(4ull * f.width * f.height) + " bytes packed";
        ok = demo.shot(file.c_str(), title.c_str(), first.c_str(), note, [&rw, h, k](CRGBAImage& i, CProgress&, std::string&) {
            TVN_DWORD w = 0, ht = 0;
            if (!rw.getFrameSize(h, 0, k, &w, &ht)) return false;
            std::vector<TVN_DWORD> pixels(static_cast<std::size_t>(w) * ht);
            if (!rw.getFrameData(h, 0, k, pixels.data())) return false;
            CRGBAImage frame(pixels.data(), w, ht);
            i = frame;
            return true;
        });
    }
    return ok;
}

} // namespace cli
