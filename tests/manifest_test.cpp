// The public reader corpora of ../shared/testdata: every row of manifest.tsv
// through load, one case per format: outcome, message number, size and pixels.
// Rows compared "exact" must match the listed SHA-256 of the buffer; "approx"
// rows (JPEG) must lie within the corpus tolerance of the reference picture
// ref/<path>.rgb.z; "size" rows pass on size and opaque alpha.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <zlib.h>
#if defined(_WIN32)
#include <windows.h>
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#endif

#include "platform/platform.h"
#include "support/helpers.h"

namespace {

using tvntest::readFileBytes;

struct Row {
    std::string path, format, expected, message; // message: "2", "1|2", "none"
    unsigned width = 0, height = 0;
    std::string sha256, compare;
};

// Lower-case hex SHA-256 of the buffer as bytes R, G, B, A, bottom row first
// (the words' own bytes on the little-endian machines the library runs on).
std::string bufferHash(CRGBAImage& image) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(image.getBuffer());
    const std::size_t size = static_cast<std::size_t>(image.getWidth()) * image.getHeight() * 4;
    unsigned char digest[32] = {};
#if defined(_WIN32)
    BCRYPT_ALG_HANDLE sha = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    BCryptOpenAlgorithmProvider(&sha, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    BCryptCreateHash(sha, &hash, nullptr, 0, nullptr, 0, 0);
    BCryptHashData(hash, const_cast<PUCHAR>(bytes), static_cast<ULONG>(size), 0);
    BCryptFinishHash(hash, digest, 32, 0);
    BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(sha, 0);
#else
    EVP_Digest(bytes, size, digest, nullptr, EVP_sha256(), nullptr);
#endif
    char hex[65];
    for (int i = 0; i < 32; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    return hex;
}

// Empty when the picture is within the corpus tolerance of its reference (mean
// absolute channel difference at most 6, at most 2% of the values off by more
// than 64; the JPEG decoder is the platform's, so its rounding may differ a little).
std::string closeToReference(const std::string& dir, const Row& row, CRGBAImage& image) {
    const std::size_t count = static_cast<std::size_t>(image.getWidth()) * image.getHeight();
    const TVN_DWORD* pixels = image.getBuffer();
    const std::vector<unsigned char> packed = readFileBytes(dir + "/ref/" + row.path + ".rgb.z");
    std::vector<unsigned char> rgb(count * 3 + 1);
    uLongf unpacked = static_cast<uLongf>(rgb.size());
    if (uncompress(rgb.data(), &unpacked, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
        unpacked != count * 3)
        return "reference picture unreadable";
    unsigned long long sum = 0, distant = 0;
    for (std::size_t i = 0; i < count * 3; ++i) {
        const int d = std::abs(static_cast<int>((pixels[i / 3] >> (8 * (i % 3))) & 0xFF) - rgb[i]);
        sum += static_cast<unsigned>(d);
        distant += d > 64;
    }
    const double values = 3.0 * count;
    if (sum > 6.0 * values) return "mean difference " + std::to_string(sum / values) + " above 6";
    if (distant > 0.02 * values) return std::to_string(distant) + " values off by more than 64";
    return std::string();
}

// Empty when the row's outcome is right, else the reason.
std::string checkRow(const std::string& dir, const Row& row) {
    tvntest::MessageRecorder boxes;
    CRGBAImage image;
    const int result = image.load((dir + "/" + row.path).c_str(), 0);
    const std::vector<int>& shown = boxes.numbers();
    std::ostringstream why;
    if (row.expected == "refuse") {
        if (result) return "loaded, expected a refusal";
        if (shown.size() != 1) why << shown.size() << " message boxes, expected one";
        else if (("|" + row.message + "|").find("|" + std::to_string(shown[0]) + "|") == std::string::npos)
            why << "message " << shown[0] << ", expected " << row.message;
        return why.str();
    }
    if (!result) {
        why << "refused with message " << (shown.empty() ? 0 : shown[0]);
        return why.str();
    }
    if (!shown.empty()) return "loaded but showed a message box";
    if (image.getWidth() != row.width || image.getHeight() != row.height) {
        why << "size " << image.getWidth() << "x" << image.getHeight() << ", expected " << row.width << "x"
            << row.height;
        return why.str();
    }
    const TVN_DWORD* p = image.getBuffer();
    for (std::size_t i = 0, n = std::size_t(row.width) * row.height; row.compare != "exact" && i < n; ++i)
        if ((p[i] >> 24) != 0xFF) return "alpha not 255";
    if (row.compare == "size" || bufferHash(image) == row.sha256) return "";
    if (row.compare == "approx") return closeToReference(dir, row, image);
    return "pixels differ (hash)";
}

// Every row of one format; the number of rows that passed, and "path: why" for
// each that did not. Unsure rows are left out.
int runManifest(const std::string& dir, const std::string& format, std::vector<std::string>* failures) {
    int passed = 0;
    std::ifstream in(dir + "/manifest.tsv");
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        Row row;
        std::string width, height;
        for (std::string* f : {&row.path, &row.format, &row.expected, &row.message, &width, &height, &row.sha256,
                               &row.compare})
            std::getline(fields, *f, '\t');
        if (row.format != format) continue;
        if (row.expected == "unsure") continue;
        row.width = static_cast<unsigned>(std::strtoul(width.c_str(), nullptr, 10));
        row.height = static_cast<unsigned>(std::strtoul(height.c_str(), nullptr, 10));
        const std::string why = checkRow(dir, row);
        if (why.empty()) ++passed;
        else failures->push_back(row.path + ": " + why);
    }
    return passed;
}

struct Format {
    const char* name;
    int rows; // rows that must pass: all but the unsure ones
};

class Manifest : public ::testing::TestWithParam<Format> {};

TEST_P(Manifest, RowsLoadOrAreRefusedAsListed) {
    const std::string dir = tvntest::testdataDir();
    if (dir.empty()) GTEST_SKIP() << "reader corpora not found";
    const Format format = GetParam();
    std::vector<std::string> failures;
    const int passed = runManifest(dir, format.name, &failures);
    // The Windows picture decoder decides for itself which JPEG kinds it takes and
    // how it converts their colours: there, refusals and colour differences are
    // reported, not failed. Sizes, alpha and the absence of message boxes still count.
    const bool platformDecides = std::string(format.name) == "jpeg" &&
                                 std::string(tvn::plat::pictureDecoderName()) == "OleLoadPicture";
    int decided = 0;
    for (const std::string& failure : failures) {
        const bool colourOrRefusal = failure.find(": refused") != std::string::npos ||
                                     failure.find("mean difference") != std::string::npos ||
                                     failure.find("values off") != std::string::npos;
        if (platformDecides && colourOrRefusal) {
            std::printf("  %s decides otherwise: %s\n", tvn::plat::pictureDecoderName(), failure.c_str());
            ++decided;
        } else {
            ADD_FAILURE() << failure;
        }
    }
    EXPECT_EQ(passed + decided, format.rows) << format.name << " rows of the manifest";
}

INSTANTIATE_TEST_SUITE_P(Corpus, Manifest,
                         ::testing::Values(Format{"bmp", 102}, Format{"tga", 95}, Format{"gif", 116},
                                           Format{"jpeg", 101}),
                         [](const ::testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

} // namespace
