#include "pixel/cpu_features.h"

#include <atomic>

namespace tvn::pixel {
namespace cpu {

namespace {
std::atomic<int> g_cap{static_cast<int>(Level::Avx512)};

Level probe() {
#ifdef TVN_X86
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("sse2")) return Level::Reference;
    if (!__builtin_cpu_supports("ssse3")) return Level::Sse2;
    if (!__builtin_cpu_supports("avx2")) return Level::Ssse3;
    if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512bw")) return Level::Avx2;
    return Level::Avx512;
#else
    return Level::Reference;
#endif
}
} // namespace

Level detectedLevel() {
    static const Level detected = probe();
    return detected;
}

Level level() {
    const int cap = g_cap.load(std::memory_order_relaxed);
    const Level best = detectedLevel();
    return static_cast<int>(best) < cap ? best : static_cast<Level>(cap);
}

bool referenceOnly() {
    return g_cap.load(std::memory_order_relaxed) == static_cast<int>(Level::Reference);
}

const char* levelName(Level level) {
    static const char* const names[kLevelCount] = {"reference", "sse2", "ssse3", "avx2", "avx512"};
    return names[static_cast<int>(level)];
}

namespace testing {
void capLevel(Level cap) {
    g_cap = static_cast<int>(cap);
}
Level levelCap() {
    return static_cast<Level>(g_cap.load());
}
} // namespace testing

} // namespace cpu
} // namespace tvn::pixel
