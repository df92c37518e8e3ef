#include "simd.h"

#include <atomic>

#include "pixel/cpu_features.h"

namespace tvn {
namespace simd {

namespace {
std::atomic<int> g_limit{0};

int levelOf() {
    if (cpu::hasAvx512()) return 3;
    if (cpu::hasAvx2()) return 2;
    if (cpu::hasSse2()) return 1;
    return 0;
}
} // namespace

const Ops* select() {
    int level = levelOf();
    int limit = g_limit.load(std::memory_order_relaxed);
    if (limit && limit < level) level = limit;
    switch (level) {
    case 3: return opsAvx512();
    case 2: return opsAvx2();
    case 1: return opsSse2();
    default: return nullptr;
    }
}

namespace testing {
void limitLevel(int level) { g_limit = level; }
int availableLevel() { return levelOf(); }
} // namespace testing

} // namespace simd
} // namespace tvn
