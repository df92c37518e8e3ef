// tivorn frames NAME [--preload]: the numbered run an image set finds from one
// file name, each frame's size, and how long the background preloader takes.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "frame_run.h"
#include "options.h"

namespace cli {
namespace {

const char kHelp[] =
    "usage: tivorn frames NAME [--preload]\n"
    "\n"
    "Lists the animation CRGBAImageSet finds from the file NAME: NAME itself and the\n"
    "files numbered after it (walk0007.tga, walk0008.tga, ...), up to the first\n"
    "missing number; frames with smaller numbers are not part of it.\n"
    "Prints the count, the first and last file, the missing name that ended the\n"
    "run and each frame's size.\n"
    "\n"
    "  --preload   time the background preloader loading the whole run first\n";

std::atomic<bool> gPassEnded{false};

void TVN_CDECL notePass(void*) {
    gPassEnded = true;
}

} // namespace

int cmdFrames(const Args& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    std::string name, arg;
    bool preload = false;
    COptionReader reader(args);
    while (reader.next(arg)) {
        if (arg == "--preload") {
            preload = true;
        } else if ((arg.size() > 1 && arg[0] == '-') || !name.empty()) {
            error("unexpected argument '" + arg + "' (see tivorn frames --help)");
            return kUsage;
        } else {
            name = arg;
        }
    }
    if (!reader.error().empty() || name.empty()) {
        error(reader.error().empty() ? "frames needs a file NAME (see tivorn frames --help)" : reader.error());
        return kUsage;
    }

    const auto start = std::chrono::steady_clock::now();
    CRGBAImageSet set(name.c_str()); // starts loading the whole run in the background
    const unsigned count = set.getNumFrames();
    if (preload && count) {
        // The constructor's pass may end before the callback is in place: ask for one more.
        set.setPreloadCallback(notePass, nullptr);
        set.preloadAll();
        while (!gPassEnded) std::this_thread::sleep_for(std::chrono::microseconds(200));
        std::printf("preloaded %u frames in %s (background thread)\n", count, formatMs(msBetween(start)).c_str());
        set.setPreloadCallback(nullptr, nullptr);
    }
    if (!count) {
        error(name + ": no such file, so no frames");
        return kFailed;
    }
    const bool numbered = numberedName(name, 0) == name;
    std::printf("%u frame%s\n  first    %s\n  last     %s\n", count, count == 1 ? "" : "s", name.c_str(),
                numberedName(name, count - 1).c_str());
    if (numbered) std::printf("  ended by %s (missing)\n", numberedName(name, count).c_str());
    else std::printf("  (the name does not end in a number: a single frame)\n");
    unsigned failed = 0;
    for (unsigned i = 0; i < count; ++i) {
        const auto asked = std::chrono::steady_clock::now();
        CRGBAImage* frame = set.getFrame(i);
        const double ms = msBetween(asked);
        if (!frame) {
            ++failed;
            std::printf("  %4u  %-40s cannot be loaded\n", i, numberedName(name, i).c_str());
            continue;
        }
        std::printf("  %4u  %-40s %5lux%-5lu  getFrame %s\n", i, (numbered ? numberedName(name, i) : name).c_str(),
                    static_cast<unsigned long>(frame->getWidth()), static_cast<unsigned long>(frame->getHeight()),
                    formatMs(ms).c_str());
    }
    return failed ? kFailed : kOk;
}

} // namespace cli
