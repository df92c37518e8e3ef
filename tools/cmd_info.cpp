// tivorn info FILE...: format, size and alpha of each file.
#include <cstdio>

#include "cli.h"

namespace cli {
namespace {

const char kHelp[] =
    "usage: tivorn info FILE...\n"
    "\n"
    "Loads each FILE (.bmp, .tga, .gif, .jpg) and prints one line per file:\n"
    "  FILE: FORMAT WIDTHxHEIGHT, alpha|no alpha\n"
    "\"alpha\" means the file carries an alpha channel of its own. A file that\n"
    "cannot be read is reported on stderr and the others are still listed;\n"
    "the exit status is then 1.\n";

} // namespace

int cmdInfo(const Args& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    if (args.empty()) {
        error("info needs at least one FILE (see tivorn info --help)");
        return kUsage;
    }
    int status = kOk;
    for (const std::string& path : args) {
        CRGBAImage image; // a fresh object per file: nothing carries over
        if (!loadPicture(image, path)) {
            status = kFailed;
            continue;
        }
        std::printf("%s: %s %lux%lu, %s\n", path.c_str(), formatOf(path).c_str(),
                    static_cast<unsigned long>(image.getWidth()), static_cast<unsigned long>(image.getHeight()),
                    image.containsAlpha() ? "alpha" : "no alpha");
        std::fflush(stdout);
    }
    return status;
}

} // namespace cli
