#include "pixel/cpu_features.h"
#include "platform/environment.h"

namespace tvn::pixel {
namespace cpu {

namespace {
Level clamp(int level) {
    return level <= 0 ? Level::Reference : level >= kLevelCount ? Level::Avx512 : static_cast<Level>(level);
}
} // namespace

Level detectedLevel() {
    return clamp(plat::kSystemEnvironment.processorLevel());
}

Level level() {
    const Level best = detectedLevel();
    const Level allowed = clamp(plat::env().processorLevel());
    return static_cast<int>(allowed) < static_cast<int>(best) ? allowed : best;
}

bool referenceOnly() {
    return level() == Level::Reference;
}

const char* levelName(Level level) {
    static const char* const names[kLevelCount] = {"reference", "sse2", "ssse3", "avx2", "avx512"};
    return names[static_cast<int>(level)];
}

} // namespace cpu
} // namespace tvn::pixel
