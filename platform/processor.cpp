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

int sys::processorLevel() {
    static const int level = probe();
    return level;
}

} // namespace plat
} // namespace tvn
