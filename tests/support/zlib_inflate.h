// A small zlib (RFC 1950/1951) decompressor for the reference pictures of the
// corpus, so the tests need no zlib of their own on any target.
#ifndef TIVORN_TEST_ZLIB_INFLATE_H
#define TIVORN_TEST_ZLIB_INFLATE_H

#include <vector>

namespace tvntest {
// False on damaged data.
bool zlibInflate(const std::vector<unsigned char>& in, std::vector<unsigned char>* out);
} // namespace tvntest

#endif
