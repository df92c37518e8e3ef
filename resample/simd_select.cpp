#include "resample/simd.h"

namespace tvn::resample {
namespace simd {

const Ops* opsFor(pixel::cpu::Level level) {
#ifdef TVN_X86
    switch (level) {
    case pixel::cpu::Level::Avx512: return opsAvx512();
    case pixel::cpu::Level::Avx2: return opsAvx2();
    case pixel::cpu::Level::Ssse3:
    case pixel::cpu::Level::Sse2: return opsSse2();
    default: return nullptr;
    }
#else
    (void)level;
    return nullptr;
#endif
}

const Ops* select() {
    return opsFor(pixel::cpu::level());
}

} // namespace simd
} // namespace tvn::resample
