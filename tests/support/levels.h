// Runs a check at every processor level this machine has, the reference first,
// with the hot loops capped there; the cap is restored afterwards.
#ifndef TIVORN_TEST_LEVELS_H
#define TIVORN_TEST_LEVELS_H

#include <gtest/gtest.h>

#include "platform/testing/test_environment.h"
#include "pixel/cpu_features.h"

namespace tvntest {

template <class F> void forEachLevel(F check) {
    using tvn::pixel::cpu::Level;
    const Level cap = static_cast<tvn::pixel::cpu::Level>(tvn::plat::testing::processorLevelSet());
    for (int l = 0; l <= static_cast<int>(tvn::pixel::cpu::detectedLevel()); ++l) {
        const Level level = static_cast<Level>(l);
        SCOPED_TRACE(tvn::pixel::cpu::levelName(level));
        tvn::plat::testing::setProcessorLevel(static_cast<int>(level));
        check(level);
    }
    tvn::plat::testing::setProcessorLevel(static_cast<int>(cap));
}

// Runs f with the hot loops capped at the reference.
template <class F> auto onReference(F f) {
    const tvn::pixel::cpu::Level cap = static_cast<tvn::pixel::cpu::Level>(tvn::plat::testing::processorLevelSet());
    tvn::plat::testing::setProcessorLevel(static_cast<int>(tvn::pixel::cpu::Level::Reference));
    auto result = f();
    tvn::plat::testing::setProcessorLevel(static_cast<int>(cap));
    return result;
}

} // namespace tvntest

#endif
