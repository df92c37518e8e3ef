// Rollback journals left beside a cache: the fuzz bytes are NAME.journal of a
// small cache, which opening the cache writable plays back (or refuses); the
// cache must then open read-only or be refused, never crash.
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "tivorn.h"

namespace {
void writeFile(const std::string& path, const void* data, std::size_t size) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return;
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::initOnce();
    static const std::string cache = "tivorn-journal-fuzz.kac"; // in the current folder
    // An empty cache: the magic and a count of 0.
    static const unsigned char empty[23] = {'K', 'o', 'v', 'r', 'a', 'A', 'n', 'i', 'm', 'a', 't', 'i',
                                            'o', 'n', 'C', 'a', 'c', 'h', 'e', 0, 0, 0, 0};
    writeFile(cache, empty, sizeof empty);
    writeFile(cache + ".journal", data, size);
    {
        CKACReaderWriter rw;
        rw.closeFile(rw.openFile(cache.c_str(), 1));
        rw.closeFile(rw.openFile(cache.c_str(), 0));
    }
    std::remove((cache + ".journal").c_str());
    std::remove(cache.c_str());
    return 0;
}
