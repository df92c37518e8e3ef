// Entry of the statically linked test programs: the platform would fill the
// message table when it loads the library; here the program does it itself.
#include <gtest/gtest.h>

#include "pixel/module_start.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    tvn::moduleAttach(tvn::plat::moduleInstance(), tvn::kAttachProcess);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
