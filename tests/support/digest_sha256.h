// SHA-256 of a byte range, as lower-case hex (the manifest's pixel hashes).
#ifndef TIVORN_TEST_DIGEST_SHA256_H
#define TIVORN_TEST_DIGEST_SHA256_H

#include <cstddef>
#include <string>

namespace tvntest {
std::string sha256Hex(const void* data, std::size_t size);
}

#endif
