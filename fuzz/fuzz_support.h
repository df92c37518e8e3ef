// Shared set-up of the fuzz targets: the message table, a quiet message sink,
// and a cap on single allocations so hostile sizes fail like a full heap.
#ifndef TIVORN_FUZZ_SUPPORT_H
#define TIVORN_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>

namespace tvnfuzz {
void initOnce();
// Loads data through CRGBAImage::load as an in-memory file with the given
// extension: first into an empty image, then, when that worked, once more into
// the image that now holds a picture (the backup and restore of a failed load).
// Every word of a loaded picture is read, so a short buffer shows.
void loadAs(const char* extension, const std::uint8_t* data, std::size_t size);
} // namespace tvnfuzz

#endif
