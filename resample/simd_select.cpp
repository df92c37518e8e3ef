#include "resample/simd.h"

namespace tvn::resample {
namespace simd {

const Ops* opsFor(cpu::Level level) {
#ifdef TVN_X86
    switch (level) {
    case cpu::Level::Avx512: return opsAvx512();
    case cpu::Level::Avx2: return opsAvx2();
    case cpu::Level::Ssse3:
    case cpu::Level::Sse2: return opsSse2();
    default: return nullptr;
    }
#else
    (void)level;
    return nullptr;
#endif
}

const Ops* select() {
    return opsFor(cpu::level());
}

} // namespace simd
} // namespace tvn::resample
