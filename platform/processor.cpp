// The widest instruction set this processor runs, asked once.
#include "platform/system.h"

namespace tvn {
namespace plat {
namespace {

int probe() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("sse2")) return 0;
    if (!__builtin_cpu_supports("ssse3")) return 1;
    if (!__builtin_cpu_supports("avx2")) return 2;
    if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512bw")) return 3;
    return 4;
#else
    return 0;
#endif
}

} // namespace

// A job costs its caller about 100 us more with a helper than without one on a
// virtual machine, mostly the wake-up of a sleeping thread (futex, IPI): below
// about 100-130 us of one thread's work a helper loses, from about twice that it
// gives 1.2-1.5 x on two processors (bench/bands_bench.cpp, 2-core AMD EPYC VM).
double sys::helperThreshold() {
    return 150;
}

int sys::processorLevel() {
    static const int level = probe();
    return level;
}

} // namespace plat
} // namespace tvn
