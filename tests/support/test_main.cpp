// Entry of the statically linked test programs: the platform would fill the
// message table when it loads the library; here the program does it itself.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/testing/test_environment.h"
#include "pixel/cpu_features.h"
#include "pixel/module_start.h"
#include "platform/platform.h"
#include "support/helpers.h"

int main(int argc, char** argv) {
    tvn::pixel::moduleAttach(tvn::plat::moduleInstance(), tvn::pixel::kAttachProcess);
    // CI runs the whole suite a second time on the scalar reference paths.
    const char* forced = std::getenv("TIVORN_FORCE_REFERENCE");
    if (forced && *forced && *forced != '0') tvn::plat::testing::setProcessorLevel(static_cast<int>(tvn::pixel::cpu::Level::Reference));
    // ... and the Windows suite a second time as on one processor (one worker).
    if (const char* processors = std::getenv("TIVORN_TEST_PROCESSORS"))
        tvn::plat::testing::setProcessorCount(static_cast<unsigned>(std::strtoul(processors, nullptr, 10)));
    tvnSetMessageProc(&tvntest::stderrSink, nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
