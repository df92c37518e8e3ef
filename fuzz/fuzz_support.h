// Shared set-up of the fuzz targets: the message table, a quiet message sink,
// and a cap on single allocations so hostile sizes fail like a full heap.
#ifndef TIVORN_FUZZ_SUPPORT_H
#define TIVORN_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>

namespace tvnfuzz {
void initOnce();
// Loads data through CRGBAImage::load as a file named "fuzz.<extension>".
void loadAs(const char* extension, const std::uint8_t* data, std::size_t size);
} // namespace tvnfuzz

#endif
