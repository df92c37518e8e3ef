// The BMP reader through load, on an in-memory file.
#include <cstdint>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::loadAs("bmp", data, size);
    return 0;
}
