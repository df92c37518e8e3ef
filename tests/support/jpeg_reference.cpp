#include "jpeg_reference.h"

#include <vector>

#include <zlib.h>

#include "helpers.h"

namespace tvntest {

std::string closeToJpegReference(const std::string& dir, const ManifestRow& row, CRGBAImage& image) {
    const std::size_t count = static_cast<std::size_t>(image.getWidth()) * image.getHeight();
    const TVN_DWORD* pixels = image.getBuffer();
    const std::vector<unsigned char> packed = readFileBytes(dir + "/ref/" + row.path + ".rgb.z");
    std::vector<unsigned char> rgb(count * 3 + 1);
    uLongf unpacked = static_cast<uLongf>(rgb.size());
    if (uncompress(rgb.data(), &unpacked, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
        unpacked != count * 3)
        return "reference picture unreadable";
    unsigned long long sum = 0, distant = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if ((pixels[i] >> 24) != 0xFF) return "alpha not 255 at pixel " + std::to_string(i);
        for (int c = 0; c < 3; ++c) {
            int d = static_cast<int>((pixels[i] >> (8 * c)) & 0xFF) - rgb[3 * i + c];
            d = d < 0 ? -d : d;
            sum += static_cast<unsigned>(d);
            distant += d > 64;
        }
    }
    const double values = 3.0 * count;
    if (sum > 6.0 * values) return "mean difference " + std::to_string(sum / values) + " above 6";
    if (distant > 0.02 * values) return std::to_string(distant) + " values off by more than 64";
    return std::string();
}

} // namespace tvntest
