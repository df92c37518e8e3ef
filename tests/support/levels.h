// Runs a check at every processor level this machine has, the reference first,
// with the hot loops capped there; the cap is restored afterwards.
#ifndef TIVORN_TEST_LEVELS_H
#define TIVORN_TEST_LEVELS_H

#include <gtest/gtest.h>

#include "pixel/cpu_features.h"

namespace tvntest {

template <class F> void forEachLevel(F check) {
    using tvn::pixel::cpu::Level;
    const Level cap = tvn::pixel::cpu::testing::levelCap();
    for (int l = 0; l <= static_cast<int>(tvn::pixel::cpu::detectedLevel()); ++l) {
        const Level level = static_cast<Level>(l);
        SCOPED_TRACE(tvn::pixel::cpu::levelName(level));
        tvn::pixel::cpu::testing::capLevel(level);
        check(level);
    }
    tvn::pixel::cpu::testing::capLevel(cap);
}

// Runs f with the hot loops capped at the reference.
template <class F> auto onReference(F f) {
    const tvn::pixel::cpu::Level cap = tvn::pixel::cpu::testing::levelCap();
    tvn::pixel::cpu::testing::capLevel(tvn::pixel::cpu::Level::Reference);
    auto result = f();
    tvn::pixel::cpu::testing::capLevel(cap);
    return result;
}

} // namespace tvntest

#endif
