// tivorn cache new|add|list|extract|verify|rm CACHE ...: animation cache files.
#include <cstdio>
#include <filesystem>
#include <vector>

#include "cache_records.h"
#include "cli.h"
#include "progress.h"

namespace cli {
namespace {

const char kHelp[] =
    "usage: tivorn cache COMMAND CACHE [ARGS] [-q]\n"
    "\n"
    "  new CACHE                  create an empty cache (refuses an existing file)\n"
    "  add CACHE FIRST...         add the numbered frame run that starts at each FIRST\n"
    "                             (walk0001.tga finds walk0002.tga, ...); creates CACHE\n"
    "                             when missing. Ctrl-C stops with the cache unchanged.\n"
    "  list CACHE                 entries and frames: size, packed bytes and ratio, time\n"
    "                             stamp, and whether the source file changed since\n"
    "  extract CACHE ENTRY DIR [--format png|tga]\n"
    "                             write the frames of entry ENTRY (from 0) into DIR\n"
    "  verify CACHE               every offset in range, every frame unpacks to its size;\n"
    "                             exit status 1 with one line naming the first fault\n"
    "  rm CACHE ENTRY             remove entry ENTRY; the entries after it are written\n"
    "                             again from their source files\n";

struct OpenCache {
    CKACReaderWriter rw;
    TVN_DWORD handle;
    OpenCache(const std::string& path, int writable) : handle(rw.openFile(path.c_str(), writable)) {}
    ~OpenCache() { rw.closeFile(handle); }
};

int TVN_CDECL onSaveProgress(void* user, unsigned done, unsigned total) {
    CProgress* progress = static_cast<CProgress*>(user);
    const unsigned percent = total ? static_cast<unsigned>(done * 100ull / total) : 100;
    return progress->proc()(static_cast<unsigned char>(percent > 99 ? 99 : percent), progress->user());
}

int save(OpenCache& cache, const std::string& path, bool quiet) {
    CProgress progress(quiet);
    progress.begin("saving " + path);
    const int ok = cache.rw.saveCacheFile(cache.handle, &onSaveProgress, &progress);
    progress.end();
    if (ok) return kOk;
    if (interruptRequested()) {
        error("interrupted; " + path + " is unchanged");
        return kInterrupted;
    }
    error(path + ": not saved (a source picture could not be read, or the file could not be written); "
                 "the file is unchanged");
    return kFailed;
}

bool parseIndex(const std::string& text, unsigned& index) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 10);
    index = static_cast<unsigned>(v);
    return !text.empty() && *end == 0 && text[0] != '-';
}

// Opens an existing cache for changing it: read, then made writable.
bool openForChange(OpenCache& cache, const std::string& path) {
    if (!cache.handle) {
        error(path + ": not a readable cache file (tivorn cache verify " + path + " names the fault)");
        return false;
    }
    if (!cache.rw.reopenAsWritable(cache.handle)) {
        error(path + ": cannot be opened for writing");
        return false;
    }
    return true;
}

int cmdNew(const std::string& path) {
    if (std::filesystem::exists(path)) {
        error(path + ": already exists");
        return kFailed;
    }
    OpenCache cache(path, 1);
    if (!cache.handle) {
        error(path + ": cannot be created");
        return kFailed;
    }
    return save(cache, path, true);
}

int cmdAdd(const std::string& path, const Args& firsts, bool quiet) {
    const bool exists = std::filesystem::exists(path);
    OpenCache cache(path, exists ? 0 : 1);
    if (exists ? !openForChange(cache, path) : !cache.handle) {
        if (!exists) error(path + ": cannot be created");
        return kFailed;
    }
    for (const std::string& first : firsts)
        if (!cache.rw.addEntry(cache.handle, first.c_str())) {
            error(first + ": no frames found (the file is missing or its time stamp cannot be read)");
            return kFailed;
        }
    const int status = save(cache, path, quiet);
    if (status == kOk && !quiet) {
        const int n = cache.rw.getNumCacheEntries(cache.handle);
        std::printf("%s: %d entries, %lu bytes\n", path.c_str(), n,
                    static_cast<unsigned long>(cache.rw.getFileSize(cache.handle)));
    }
    return status;
}

int cmdList(const std::string& path) {
    std::vector<CACHE_ENTRY_RECORD> entries;
    std::string fault;
    if (!readCacheRecords(path, entries, fault)) {
        error(path + ": " + fault);
        return kFailed;
    }
    std::printf("%s: %u entries\n", path.c_str(), static_cast<unsigned>(entries.size()));
    for (std::size_t e = 0; e < entries.size(); ++e) {
        std::printf("entry %u: %s, %u frames\n", static_cast<unsigned>(e), entries[e].name.c_str(),
                    static_cast<unsigned>(entries[e].frames.size()));
        for (std::size_t k = 0; k < entries[e].frames.size(); ++k) {
            const CACHE_FRAME_RECORD& f = entries[e].frames[k];
            const double raw = 4.0 * f.width * f.height;
            const std::uint64_t now = currentFileTime(f.name);
            const char* state = !now ? "source missing" : now / 10000000u != f.time / 10000000u ? "source changed" : "source unchanged";
            std::printf("  %4u  %ux%u  %u bytes (%.1f %%)  %s  %s  %s\n", static_cast<unsigned>(k), f.width, f.height,
                        f.packed, raw ? 100.0 * f.packed / raw : 0.0, formatFileTime(f.time).c_str(), state, f.name.c_str());
        }
    }
    return kOk;
}

int cmdVerify(const std::string& path) {
    std::vector<CACHE_ENTRY_RECORD> entries;
    std::string fault;
    if (!readCacheRecords(path, entries, fault)) {
        error(path + ": " + fault);
        return kFailed;
    }
    OpenCache cache(path, 0);
    if (!cache.handle || cache.rw.getNumCacheEntries(cache.handle) != static_cast<int>(entries.size())) {
        error(path + ": the library refuses the file (its records overlap or claim more than the file holds)");
        return kFailed;
    }
    for (unsigned e = 0; e < entries.size(); ++e)
        for (unsigned k = 0; k < entries[e].frames.size(); ++k) {
            const CACHE_FRAME_RECORD& f = entries[e].frames[k];
            const std::string where = path + ": entry " + std::to_string(e) + " frame " + std::to_string(k) + ": ";
            TVN_DWORD w = 0, h = 0;
            std::vector<TVN_DWORD> pixels;
            if (!cache.rw.getFrameSize(cache.handle, e, k, &w, &h) || w != f.width || h != f.height) {
                error(where + "size cannot be read");
                return kFailed;
            }
            try {
                pixels.resize(static_cast<std::size_t>(w) * h);
            } catch (const std::exception&) {
                error(where + std::to_string(w) + "x" + std::to_string(h) + " is too large to unpack");
                return kFailed;
            }
            if (!cache.rw.getFrameData(cache.handle, e, k, pixels.data())) {
                error(where + "the packed pixels do not unpack to " + std::to_string(w) + "x" + std::to_string(h));
                return kFailed;
            }
        }
    std::printf("%s: ok, %u entries\n", path.c_str(), static_cast<unsigned>(entries.size()));
    return kOk;
}

int cmdExtract(const std::string& path, const Args& rest, const std::string& format) {
    unsigned entry = 0;
    if (rest.size() != 2 || !parseIndex(rest[0], entry)) {
        error("extract needs CACHE ENTRY DIR (see tivorn cache --help)");
        return kUsage;
    }
    OpenCache cache(path, 0);
    KAC_ENTRY_INFO info;
    if (!cache.handle || !cache.rw.getCacheEntryInfo(cache.handle, entry, &info)) {
        error(path + (cache.handle ? ": no entry " + rest[0] : ": not a readable cache file"));
        return kFailed;
    }
    std::error_code ec;
    std::filesystem::create_directories(rest[1], ec);
    for (unsigned k = 0; k < info.nNumFrames; ++k) {
        if (interruptRequested()) return kInterrupted;
        TVN_DWORD w = 0, h = 0;
        std::vector<TVN_DWORD> pixels;
        if (cache.rw.getFrameSize(cache.handle, entry, k, &w, &h)) pixels.resize(static_cast<std::size_t>(w) * h);
        if (!w || !h || !cache.rw.getFrameData(cache.handle, entry, k, pixels.data())) {
            error(path + ": frame " + std::to_string(k) + " cannot be read");
            return kFailed;
        }
        char name[32];
        std::snprintf(name, sizeof name, "frame%04u.%s", k, format.c_str());
        CRGBAImage image(pixels.data(), w, h);
        if (!savePicture(image, (std::filesystem::path(rest[1]) / name).string())) return kFailed;
    }
    std::printf("%u frames written to %s\n", static_cast<unsigned>(info.nNumFrames), rest[1].c_str());
    return kOk;
}

int cmdRemove(const std::string& path, const Args& rest, bool quiet) {
    unsigned entry = 0;
    if (rest.size() != 1 || !parseIndex(rest[0], entry)) {
        error("rm needs CACHE ENTRY (see tivorn cache --help)");
        return kUsage;
    }
    OpenCache cache(path, 0);
    if (!openForChange(cache, path)) return kFailed;
    if (!cache.rw.deleteEntry(cache.handle, entry)) {
        error(path + ": no entry " + rest[0]);
        return kFailed;
    }
    return save(cache, path, quiet);
}

} // namespace

int cmdCache(const Args& args) {
    if (wantsHelp(args) || args.empty()) {
        std::fputs(kHelp, args.empty() ? stderr : stdout);
        return args.empty() ? kUsage : kOk;
    }
    Args rest;
    bool quiet = false;
    std::string format = "png";
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-q" || args[i] == "--quiet") {
            quiet = true;
        } else if (args[i] == "--format" && i + 1 < args.size()) {
            format = args[++i];
        } else {
            rest.push_back(args[i]);
        }
    }
    if (format != "png" && format != "tga") {
        error("--format is png or tga");
        return kUsage;
    }
    const std::string& command = args[0];
    if (rest.empty()) {
        error("cache " + command + " needs CACHE (see tivorn cache --help)");
        return kUsage;
    }
    const std::string path = rest[0];
    rest.erase(rest.begin());
    if (command == "new" && rest.empty()) return cmdNew(path);
    if (command == "add" && !rest.empty()) return cmdAdd(path, rest, quiet);
    if (command == "list" && rest.empty()) return cmdList(path);
    if (command == "verify" && rest.empty()) return cmdVerify(path);
    if (command == "extract") return cmdExtract(path, rest, format);
    if (command == "rm") return cmdRemove(path, rest, quiet);
    error("unknown or incomplete cache command '" + command + "' (see tivorn cache --help)");
    return kUsage;
}

} // namespace cli
