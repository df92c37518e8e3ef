// tivorn play NAME | CACHE --entry N: plays a numbered frame run or a cache entry
// at a frame rate and reports whether it kept up: frames shown, the rate
// achieved, late frames and how long fetching a frame took.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <thread>

#include <unistd.h> // isatty; MinGW's unistd.h provides it too

#include "options.h"
#include "play_report.h"
#include "play_source.h"
#include "play_window.h"
#include "progress.h"

namespace cli {
namespace {

using Clock = std::chrono::steady_clock;

const char kHelp[] =
    "usage: tivorn play NAME [--fps R] [--loop N] [--keep-ready N] [--window [--screenshot FILE]]\n"
    "                        [--json] [-q]\n"
    "       tivorn play CACHE.kac [--entry N] [...]\n"
    "\n"
    "Plays the numbered frame run CRGBAImageSet finds from NAME (walk0007.tga,\n"
    "walk0008.tga, ...), or entry N of a cache file, at R frames a second, and\n"
    "reports the frames shown, the rate achieved, the late frames and the p50, p99\n"
    "and max of the time getFrame (or the cache read) took.\n"
    "\n"
    "Frame i is due at start + i/R, the clock starting when frame 0 is ready. A\n"
    "frame not ready by its due time is late: it is shown as soon as it is ready\n"
    "and the schedule slips to it (the next frame is due 1/R later). No frame is\n"
    "dropped.\n"
    "\n"
    "  --fps R           frames a second, up to 1000 (default 30; 23.976 works)\n"
    "  --loop N          play the run N times (default 1; 0: until stopped)\n"
    "  --entry N         the cache entry to play (default 0); NAME is then a cache\n"
    "                    file, as is any NAME ending in .kac\n"
    "  --keep-ready N    keepReady(N) after each getFrame: N frames behind and ahead\n"
    "                    stay loaded (without it every getFrame widens the window\n"
    "                    to the whole run)\n"
    "  --window          show the frames in a window (SDL2); closing it, Esc or q stop\n"
    "  --screenshot FILE with --window: the window showing the last frame, as .png or .tga\n"
    "  --json            the summary as one JSON object on stdout\n"
    "  -q, --quiet       no status line while playing, no list of late frames\n";

struct PLAY_OPTIONS {
    std::string name, screenshot;
    double fps = 30;
    unsigned long loops = 1, entry = 0;
    long keepReady = -1;
    bool cache = false, window = false, json = false, quiet = false;
};

// A positive decimal number up to 1000: digits with at most one point.
bool parseFps(const std::string& text, double& fps) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find('.') != text.rfind('.') || text == ".")
        return false;
    fps = std::strtod(text.c_str(), nullptr);
    return fps > 0 && fps <= 1000;
}

// Reads the arguments; false with why set (a usage error).
bool readOptions(const Args& args, PLAY_OPTIONS& o, std::string& why) {
    COptionReader reader(args);
    std::string arg, value;
    bool entryGiven = false;
    const unsigned long kMaxCount = 999999999;
    while (reader.next(arg)) {
        const bool takesValue = arg == "--fps" || arg == "--loop" || arg == "--entry" || arg == "--keep-ready" ||
                                arg == "--screenshot";
        if (takesValue && !reader.value(arg, value)) break;
        unsigned long n = 0;
        if (arg == "--fps") {
            if (!parseFps(value, o.fps)) return why = "--fps takes a number of frames a second, above 0 and up to 1000", false;
        } else if (arg == "--loop" || arg == "--entry" || arg == "--keep-ready") {
            if (!parseNumber(value, kMaxCount, n)) return why = arg + " takes a whole number, not '" + value + "'", false;
            if (arg == "--loop") o.loops = n;
            else if (arg == "--entry") o.entry = n, entryGiven = true;
            else o.keepReady = static_cast<long>(n);
        } else if (arg == "--screenshot") {
            if (!isWritableName(value, why)) return false;
            o.screenshot = value;
        } else if (arg == "--window") {
            o.window = true;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "-q" || arg == "--quiet") {
            o.quiet = true;
        } else if ((arg.size() > 1 && arg[0] == '-') || !o.name.empty()) {
            return why = "unexpected argument '" + arg + "' (see tivorn play --help)", false;
        } else {
            o.name = arg;
        }
    }
    if (!reader.error().empty()) return why = reader.error(), false;
    if (o.name.empty()) return why = "play needs a frame file NAME or a CACHE (see tivorn play --help)", false;
    o.cache = entryGiven || extensionOf(o.name) == ".kac";
    if (o.cache && o.keepReady >= 0) return why = "--keep-ready is for a frame run, not a cache", false;
    if (!o.screenshot.empty() && !o.window) return why = "--screenshot needs --window", false;
    if (o.window && !CPlayWindow::available())
        return why = "--window is not available: this tivorn was built without SDL2", false;
    return true;
}

// Frames a second over the last second of shown frames, for the window's title.
class CRecentRate {
public:
    double add(Clock::time_point shown) {
        m_times.push_back(shown);
        while (m_times.size() > 2 && shown - m_times.front() > std::chrono::seconds(1)) m_times.pop_front();
        const double seconds = msBetween(m_times.front(), shown) / 1000;
        return seconds > 0 ? (m_times.size() - 1) / seconds : 0;
    }

private:
    std::deque<Clock::time_point> m_times;
};

// "frame 12/120" on stderr while playing, when it is a terminal and not quiet.
class CStatusLine {
public:
    explicit CStatusLine(bool quiet) : m_bDraw(!quiet && isatty(fileno(stderr))) {}
    ~CStatusLine() {
        if (m_bShown) std::fprintf(stderr, "\r%60s\r", "");
    }
    void update(unsigned frame, unsigned frames, unsigned long long shown, std::size_t late) {
        const Clock::time_point now = Clock::now();
        if (!m_bDraw || (m_bShown && now - m_last < std::chrono::milliseconds(250))) return;
        std::fprintf(stderr, "\rframe %u/%u, %llu shown, %u late   ", frame + 1, frames, shown, static_cast<unsigned>(late));
        std::fflush(stderr);
        m_bShown = true;
        m_last = now;
    }

private:
    bool m_bDraw, m_bShown = false;
    Clock::time_point m_last;
};

// Sleeps until due in short steps; false when Ctrl-C arrives first.
bool sleepUntil(Clock::time_point due) {
    while (!interruptRequested()) {
        const Clock::time_point now = Clock::now();
        if (now >= due) return true;
        std::this_thread::sleep_until(std::min(due, now + std::chrono::milliseconds(20)));
    }
    return false;
}

// Plays until the last loop ends or playback is stopped; false when the window fails.
bool play(CFrameSource& source, const PLAY_OPTIONS& o, CPlayWindow& window, PLAY_REPORT& r) {
    const std::chrono::duration<double> period(1.0 / o.fps);
    const unsigned n = source.count();
    CStatusLine status(o.quiet);
    CRecentRate recent;
    Clock::time_point anchor, firstShown;
    unsigned long long sinceAnchor = 0, position = 0;
    bool started = false, windowOpen = false;
    for (unsigned long loop = 0; o.loops == 0 || loop < o.loops; ++loop) {
        const unsigned long long shownBefore = r.shown;
        for (unsigned i = 0; i < n; ++i, ++position) {
            if (interruptRequested()) return r.stopped = "interrupted", true;
            PLAY_FRAME frame = {nullptr, 0, 0};
            const Clock::time_point asked = Clock::now();
            const bool ok = source.fetch(i, frame);
            const double fetchMs = msBetween(asked, Clock::now());
            r.fetchMs.push_back(fetchMs);
            source.afterFetch();
            if (ok && o.window) {
                if (!windowOpen && !(windowOpen = window.open(o.name, frame.width, frame.height))) return false;
                if (!window.upload(frame)) return false;
            }
            const Clock::time_point ready = Clock::now();
            // The clock starts when the first frame is shown; until then every frame is due when ready.
            Clock::time_point due = ready;
            if (started) due = anchor + std::chrono::duration_cast<Clock::duration>(period * sinceAnchor++);
            if (!ok) { // its slot passes with the frame before it still showing
                ++r.failed;
                continue;
            }
            if (ready > due) { // late: shown now, and the schedule slips to it
                r.late.push_back(LATE_FRAME{position, i, msBetween(due, ready), fetchMs});
                anchor = due = ready;
                sinceAnchor = 1;
            }
            if (!(o.window ? window.waitUntil(due) : sleepUntil(due)))
                return r.stopped = window.closed() ? "window closed" : "interrupted", true;
            if (o.window) {
                const double fps = recent.add(Clock::now());
                char title[64];
                std::snprintf(title, sizeof title, " - frame %u/%u - %.1f fps", i + 1, n, fps);
                window.present(o.name + title);
            }
            const Clock::time_point shown = Clock::now();
            if (!started) {
                anchor = firstShown = shown;
                sinceAnchor = 1;
                started = true;
                r.width = frame.width;
                r.height = frame.height;
            }
            ++r.shown;
            r.seconds = msBetween(firstShown, shown) / 1000;
            status.update(i, n, r.shown, r.late.size());
        }
        // A loop that shows nothing ends playback, so files broken (or removed)
        // after the first loop cannot make it spin for ever.
        if (r.shown == shownBefore) break;
    }
    return true;
}

} // namespace

int cmdPlay(const Args& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    PLAY_OPTIONS o;
    std::string why;
    if (!readOptions(args, o, why)) {
        error(why);
        return kUsage;
    }
    std::unique_ptr<CFrameSource> source =
        o.cache ? openCacheEntry(o.name, static_cast<unsigned>(o.entry)) : openFrameRun(o.name, o.keepReady);
    if (!source) return kFailed;
    if (!source->count()) {
        error(o.name + ": entry " + std::to_string(o.entry) + " holds no frames");
        return kFailed;
    }
    PLAY_REPORT r;
    r.source = o.name;
    r.cache = o.cache;
    r.entry = static_cast<unsigned>(o.entry);
    r.frames = source->count();
    r.loops = o.loops;
    r.fps = o.fps;
    r.keepReady = o.keepReady;
    r.window = o.window;
    CPlayWindow window;
    if (!play(*source, o, window, r)) return kFailed;
    if (o.json) printJson(r);
    else printSummary(r, !o.quiet);
    std::fflush(stdout);
    if (!o.screenshot.empty() && r.shown && !window.screenshot(o.screenshot)) return kFailed;
    if (r.stopped && interruptRequested()) {
        error("interrupted");
        return kInterrupted;
    }
    if (r.failed) {
        error(std::to_string(r.failed) + " frame" + (r.failed == 1 ? " was" : "s were") + " not shown: they could not be loaded");
        return kFailed;
    }
    return kOk;
}

} // namespace cli
