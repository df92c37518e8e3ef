// tivorn: the library from a shell.
#include <cstdio>
#include <cstring>

#include "tivorn.h"

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

void usage() {
    std::printf("usage: tivorn version | selftest\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        usage();
        return argc < 2 ? 1 : 0;
    }
    if (!std::strcmp(argv[1], "version")) {
        std::printf("tivorn %s\n", tvnVersion());
        return 0;
    }
    if (!std::strcmp(argv[1], "selftest")) {
        std::printf("tivorn %s pixel helpers:\n", tvnVersion());
        return selfTest();
    }
    std::fprintf(stderr, "tivorn: unknown command '%s'\n", argv[1]);
    return 2;
}
