// Module start on POSIX systems: the message table is filled when the shared
// library (or a program linking the core statically) is loaded.
#include "platform/module.h"
#include "platform/system.h"
#include "pixel/module_start.h"

#include <cstdio>
#include <cstring>

namespace tvn {
namespace plat {

namespace {
struct CompiledString {
    unsigned id;
    const char* text;
};
#define TVN_MESSAGE(n, name, text) {n, text},
#define TVN_CACHE_MESSAGE(n, name, thrown, text) {n, text},
const CompiledString kStrings[] = {
#include "resources/messages.inc"
#include "resources/cache_messages.inc"
};
#undef TVN_CACHE_MESSAGE
#undef TVN_MESSAGE
} // namespace

int loadString(void*, unsigned id, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return 0;
    for (const CompiledString& s : kStrings) {
        if (s.id != id) continue;
        std::size_t n = std::strlen(s.text);
        if (n > static_cast<std::size_t>(bufferSize - 1)) n = static_cast<std::size_t>(bufferSize - 1);
        std::memcpy(buffer, s.text, n);
        buffer[n] = 0;
        return static_cast<int>(n);
    }
    buffer[0] = 0;
    return 0;
}

void* moduleInstance() {
    return nullptr;
}

void sys::messageBox(const char* text, const char* caption, HWND) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

} // namespace plat
} // namespace tvn

__attribute__((constructor)) static void tivornModuleLoad() {
    tvn::pixel::moduleAttach(tvn::plat::moduleInstance(), tvn::pixel::kAttachProcess);
}
