// Which fast paths this processor can run. Every hot loop keeps a plain
// reference and picks a kernel table once, by the level below.
#ifndef TIVORN_CPU_FEATURES_H
#define TIVORN_CPU_FEATURES_H

#if defined(__x86_64__) || defined(__i386__)
#define TVN_X86 1
#endif

namespace tvn::pixel {
namespace cpu {

// Instruction-set levels, each including the ones before it. Builds for other
// processors stop at Reference.
enum class Level { Reference, Sse2, Ssse3, Avx2, Avx512 };
const int kLevelCount = 5;

// The level the hot loops run at: the processor's best, or lower when the
// installed environment asks for less (the suite runs again on the reference
// paths that way).
Level level();
// The processor's best, whatever the environment asks.
Level detectedLevel();
// True while the level is Reference: fast paths without vectors (the GIF decode
// loop, the nearest-neighbour column map) step aside as well.
bool referenceOnly();

const char* levelName(Level level);

// The kernel table of a family at each level, each made once by Make(level) on
// first use; families whose levels add kernels to the one below build this way.
template <class Table, Table (*Make)(Level)> const Table& tableAt(Level level) {
    static const Table tables[kLevelCount] = {Make(Level::Reference), Make(Level::Sse2), Make(Level::Ssse3),
                                              Make(Level::Avx2), Make(Level::Avx512)};
    return tables[static_cast<int>(level)];
}

} // namespace cpu
} // namespace tvn::pixel

#endif
