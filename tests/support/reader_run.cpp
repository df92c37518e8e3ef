#include "reader_run.h"

#include <string>

#include "platform/platform.h"
#include "platform/testing/test_environment.h"

namespace tvntest {

int readWith(int (*reader)(CRGBAImage&, HANDLE), CRGBAImage& image, const std::vector<unsigned char>& bytes,
             std::vector<int>* messages) {
    static unsigned counter = 0;
    const std::string name = "mem/reader_input_" + std::to_string(++counter);
    tvn::plat::testing::memoryFileAdd(name.c_str(), bytes.data(), bytes.size());
    HANDLE file = tvn::plat::fileOpenRead(name.c_str());
    MessageNumbers boxes;
    const int result = reader(image, file);
    tvn::plat::fileClose(file);
    tvn::plat::testing::memoryFileRemove(name.c_str());
    if (messages) *messages = boxes.numbers();
    return result;
}

} // namespace tvntest
