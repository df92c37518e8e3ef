// tivorn: the library from a shell.
#include <cstdio>
#include <cstring>
#include <new>

#include "cli.h"
#include "progress.h"

namespace {

int selfTest() {
    int failures = 0;
    auto check = [&](const char* what, bool ok) {
        std::printf("  %-40s %s\n", what, ok ? "ok" : "FAILED");
        failures += ok ? 0 : 1;
    };
    check("tvnRGBA(0x10,0x20,0x30,0x40)", tvnRGBA(0x10, 0x20, 0x30, 0x40) == 0x40302010u);
    check("tvnGetColorDist(black, white)", tvnGetColorDist(0, 0x00FFFFFFu) == 441u);
    TVN_DWORD v = 0x0001;
    check("tvnNormalizePel(0x0001, 16)", tvnNormalizePel(&v, 16) == 1 && v == 0xFF000008u);
    check("tvnMulPel(0x80C0FF10, 1, 2)", tvnMulPel(0x80C0FF10u, 1, 2) == 0x80607F08u);
    v = 0x11223344u;
    tvnSwapRB(&v);
    check("tvnSwapRB(0x11223344)", v == 0x11443322u);
    return failures ? 1 : 0;
}

const char kUsage[] =
    "usage: tivorn COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  info FILE...          format, size and alpha of each picture file\n"
    "  convert IN OUT [...]  resize, blur, transparency, grey, flips, trim; writes .tga or .png\n"
    "  pack IN               run-length packing: size, ratio, time, round-trip check\n"
    "  cache CMD CACHE ...   animation caches: new, add, list, extract, verify, rm\n"
    "  frames NAME           the numbered animation found from one frame's file name\n"
    "  play NAME             play a frame run or a cache entry at a frame rate: late frames, fps\n"
    "  demo [DIR]            every capability on the shipped pictures, into DIR/index.html\n"
    "  version               library version\n"
    "  selftest              quick check of the pixel helpers\n"
    "\n"
    "tivorn COMMAND --help shows the options of a command.\n";

int run(const char* command, const cli::Args& args, const char* argv0) {
    if (!std::strcmp(command, "info"))
        return cli::cmdInfo(args);
    if (!std::strcmp(command, "convert"))
        return cli::cmdConvert(args);
    if (!std::strcmp(command, "pack"))
        return cli::cmdPack(args);
    if (!std::strcmp(command, "cache"))
        return cli::cmdCache(args);
    if (!std::strcmp(command, "frames"))
        return cli::cmdFrames(args);
    if (!std::strcmp(command, "play"))
        return cli::cmdPlay(args);
    if (!std::strcmp(command, "demo"))
        return cli::cmdDemo(args, argv0);
    if (!std::strcmp(command, "version")) {
        std::printf("tivorn %s\n", tvnVersion());
        return cli::kOk;
    }
    if (!std::strcmp(command, "selftest")) {
        std::printf("tivorn %s pixel helpers:\n", tvnVersion());
        return selfTest();
    }
    cli::error(std::string("unknown command '") + command + "' (see tivorn --help)");
    return cli::kUsage;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        cli::error("no command given (see tivorn --help)");
        return cli::kUsage;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        std::fputs(kUsage, stdout);
        return cli::kOk;
    }
    cli::installMessageProc();
    cli::installInterruptHandler();
    const cli::Args args(argv + 2, argv + argc);
    try {
        return run(argv[1], args, argv[0]);
    } catch (const char* text) {
        // The library's constructors and copies throw its out-of-memory message.
        cli::error(text && *text ? text : "the library failed");
    } catch (const std::bad_alloc&) {
        cli::error("not enough memory");
    }
    return cli::kFailed;
}
