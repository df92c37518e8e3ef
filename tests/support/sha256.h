// SHA-256 (FIPS 180-4), for comparing pixel buffers with the corpus manifest.
#ifndef TIVORN_TEST_SHA256_H
#define TIVORN_TEST_SHA256_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace tvntest {

class Sha256 {
public:
    Sha256();
    void update(const void* data, std::size_t size);
    std::string hexDigest(); // ends the hash; lower-case hex

private:
    void block(const std::uint8_t* p);
    std::uint32_t m_h[8];
    std::uint8_t m_buf[64];
    std::size_t m_used;
    std::uint64_t m_bytes;
};

std::string sha256Hex(const void* data, std::size_t size);

} // namespace tvntest

#endif
