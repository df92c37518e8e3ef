#include "manifest_rows.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "digest_sha256.h"
#include "helpers.h"
#include "zlib_inflate.h"

namespace tvntest {

std::vector<ManifestRow> readManifest(const std::string& dir, const std::string& format) {
    std::vector<ManifestRow> rows;
    std::ifstream in(dir + "/manifest.tsv");
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, '\t')) f.push_back(field);
        if (f.size() < 9) continue;
        ManifestRow r;
        r.path = f[0];
        r.format = f[1];
        r.expected = f[2];
        r.message = f[3];
        r.width = static_cast<TVN_DWORD>(std::strtoul(f[4].c_str(), nullptr, 10));
        r.height = static_cast<TVN_DWORD>(std::strtoul(f[5].c_str(), nullptr, 10));
        r.sha256 = f[6];
        r.compare = f[7];
        r.notes = f[8];
        if (format.empty() || r.format == format) rows.push_back(r);
    }
    return rows;
}

namespace {
// The corpus tolerance for decoder-dependent JPEG pixels: mean absolute channel
// difference at most 6, at most 2% of the values off by more than 64.
std::string closeToReference(const std::string& dir, const ManifestRow& row, const TVN_DWORD* pixels,
                             std::size_t count) {
    std::vector<unsigned char> packed = readFileBytes(dir + "/ref/" + row.path + ".rgb.z"), rgb;
    if (!zlibInflate(packed, &rgb) || rgb.size() != count * 3) return "reference picture unreadable";
    unsigned long long sum = 0, distant = 0;
    for (std::size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) {
            int d = static_cast<int>((pixels[i] >> (8 * c)) & 0xFF) - rgb[3 * i + c];
            d = d < 0 ? -d : d;
            sum += static_cast<unsigned>(d);
            distant += d > 64;
        }
    const double values = 3.0 * count;
    if (sum > 6.0 * values) return "mean difference " + std::to_string(sum / values) + " above 6";
    if (distant > 0.02 * values) return std::to_string(distant) + " values off by more than 64";
    return std::string();
}
} // namespace

std::string checkLoadedPicture(const std::string& dir, const ManifestRow& row, const TVN_DWORD* pixels, TVN_DWORD width,
                               TVN_DWORD height) {
    if (width != row.width || height != row.height)
        return "size " + std::to_string(width) + "x" + std::to_string(height) + ", expected " +
               std::to_string(row.width) + "x" + std::to_string(row.height);
    const std::size_t count = static_cast<std::size_t>(width) * height;
    if (!pixels && count) return "no pixels";
    // Byte order of the manifest hashes: R, G, B, A per pixel.
    std::vector<unsigned char> bytes(count * 4);
    for (std::size_t i = 0; i < count; ++i)
        for (int c = 0; c < 4; ++c) bytes[4 * i + c] = static_cast<unsigned char>(pixels[i] >> (8 * c));
    if (sha256Hex(bytes.data(), bytes.size()) == row.sha256) return std::string();
    if (row.compare == "exact") return "pixels differ from the expected hash";
    for (std::size_t i = 0; i < count; ++i)
        if ((pixels[i] >> 24) != 0xFF) return "alpha not 255 at pixel " + std::to_string(i);
    if (row.compare == "size") return std::string();
    if (row.compare == "approx") return closeToReference(dir, row, pixels, count);
    return "unknown compare kind " + row.compare;
}

} // namespace tvntest
