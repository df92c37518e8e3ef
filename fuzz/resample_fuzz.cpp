// setSize, setSizeRough and blur on small pictures, with sizes, filters and blur
// sizes taken from the input: no crash, no access out of bounds, and every
// refusal leaves the image exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "tivorn.h"

namespace {
struct Reader {
    const std::uint8_t* p;
    std::size_t n;
    unsigned next() {
        if (!n) return 0;
        --n;
        return *p++;
    }
};

std::vector<TVN_DWORD> snapshot(CRGBAImage& image) {
    const TVN_DWORD* p = image.getBuffer();
    return std::vector<TVN_DWORD>(p, p + static_cast<std::size_t>(image.getWidth()) * image.getHeight());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tvnfuzz::initOnce();
    Reader in = {data, size};
    const TVN_DWORD w = in.next() % 40 + 1, h = in.next() % 40 + 1;
    std::vector<TVN_DWORD> px(static_cast<std::size_t>(w) * h);
    for (TVN_DWORD& p : px) p = in.next() * 0x01010101u ^ in.next() << 8;
    CRGBAImage image(px.data(), w, h);
    for (int step = 0; step < 6 && in.n; ++step) {
        const unsigned op = in.next() % 3;
        const TVN_DWORD a = in.next() % 90, b = in.next() % 90;
        const int filter = static_cast<int>(in.next() % 8);
        const std::vector<TVN_DWORD> before = snapshot(image);
        const TVN_DWORD bw = image.getWidth(), bh = image.getHeight();
        const unsigned blur = image.getBlurKrnlSize();
        int result = 1;
        if (op == 0) {
            result = image.setSize(a, b, filter, nullptr, nullptr);
        } else if (op == 1) {
            result = image.setSizeRough(a, b);
        } else {
            unsigned k = a % 24;
            image.blur(&k);
            if (k && k >= bw) std::abort(); // reduced below the width it blurred
        }
        if (!result && (snapshot(image) != before || image.getWidth() != bw || image.getHeight() != bh ||
                        image.getBlurKrnlSize() != blur))
            std::abort();
    }
    return 0;
}
