// Packing and geometry on arbitrary pictures: every stream compressRLE makes must
// decode to the same picture, the vector and scalar paths must give the same
// bytes, and the geometry operations must stay inside their buffers.
// Byte 0 and 1 choose the size; each further byte is a palette index (so runs
// are common) or, above the palette, starts a raw word of the next four bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/testing/test_environment.h"
#include "fuzz_support.h"
#include "pixel/cpu_features.h"
#include "tivorn.h"

namespace {

std::vector<unsigned char> pack(CRGBAImage& image) {
    unsigned char* packed = nullptr;
    const TVN_DWORD n = image.compressRLE(&packed);
    std::vector<unsigned char> out(packed, packed + n);
    CRGBAImage::freeRLEBuffer(packed);
    return out;
}

void check(bool ok) {
    if (!ok) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::initOnce();
    if (size < 2) return 0;
    const TVN_DWORD w = 1 + data[0] % 200, h = 1 + data[1] % 8;
    const TVN_DWORD palette[4] = {0xFF000000u, 0xFFFFFFFFu, 0x00000000u, 0x80402010u};
    std::vector<TVN_DWORD> px(std::size_t(w) * h, palette[0]);
    for (std::size_t i = 0, pos = 2; i < px.size() && pos < size; ++i) {
        const std::uint8_t b = data[pos++];
        if (b < 250 || size - pos < 4) {
            px[i] = palette[b % 4];
        } else {
            std::memcpy(&px[i], data + pos, 4);
            pos += 4;
        }
    }

    CRGBAImage image(px.data(), w, h);
    const std::vector<unsigned char> fast = pack(image);
    tvn::plat::testing::setProcessorLevel((true) ? 0 : 4);
    const std::vector<unsigned char> slow = pack(image);
    std::vector<unsigned char> b24(px.size() * 3), b24ref(px.size() * 3);
    image.fillBuffer24bit(b24ref.data());
    tvn::plat::testing::setProcessorLevel((false) ? 0 : 4);
    image.fillBuffer24bit(b24.data());
    check(fast == slow && b24 == b24ref);

    CRGBAImage back(fast.data(), static_cast<TVN_DWORD>(fast.size()), w, h);
    check(std::memcmp(back.getBuffer(), px.data(), px.size() * 4) == 0);

    image.flipHorizontal();
    image.flipVertical();
    image.stretchHorizontally(w + data[0] % 5);
    const TVN_DWORD stretched = image.getWidth();
    TVN_DWORD x = 0, y = 0;
    image.trimByAlpha(x, y);
    // The kept rectangle lies inside the stretched picture.
    check(x + image.getWidth() <= stretched && y >= 1 && y + image.getHeight() - 1 <= h);
    const std::vector<unsigned char> again = pack(image);
    CRGBAImage trimmed(again.data(), static_cast<TVN_DWORD>(again.size()), image.getWidth(), image.getHeight());
    check(std::memcmp(trimmed.getBuffer(), image.getBuffer(), std::size_t(image.getWidth()) * image.getHeight() * 4) ==
          0);
    return 0;
}
