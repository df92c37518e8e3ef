#include "cpu_features.h"

#include <atomic>

namespace tvn {
namespace cpu {

namespace {
std::atomic<bool> g_forced{false};

#if defined(__x86_64__) || defined(__i386__)
bool probe(int feature) {
    __builtin_cpu_init();
    switch (feature) {
    case 0: return __builtin_cpu_supports("sse2");
    case 1: return __builtin_cpu_supports("sse4.1");
    case 2: return __builtin_cpu_supports("avx2");
    default: return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    }
}
#else
bool probe(int) {
    return false;
}
#endif

bool has(int feature) {
    static const bool features[4] = {probe(0), probe(1), probe(2), probe(3)};
    return !g_forced.load(std::memory_order_relaxed) && features[feature];
}
} // namespace

bool hasSse2() { return has(0); }
bool hasSse41() { return has(1); }
bool hasAvx2() { return has(2); }
bool hasAvx512() { return has(3); }

namespace testing {
void forceReference(bool on) { g_forced = on; }
bool referenceForced() { return g_forced; }
} // namespace testing

} // namespace cpu
} // namespace tvn
