// The public reader corpora: every row of manifest.tsv through load, one case per
// format (outcome, message, size and pixels).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "support/helpers.h"
#include "support/manifest.h"

namespace {

struct Format {
    const char* name;
    int rows; // rows that must pass: all but the unsure ones
};

class Manifest : public ::testing::TestWithParam<Format> {};

TEST_P(Manifest, RowsLoadOrAreRefusedAsListed) {
    const std::string dir = tvntest::testdataDir();
    if (dir.empty()) GTEST_SKIP() << "reader corpora not found";
    const Format format = GetParam();
    const tvntest::ManifestReport report = tvntest::runManifest(dir, format.name);
    // The Windows picture decoder decides for itself which JPEG kinds it takes and
    // how it converts their colours: there, refusals and colour differences are
    // reported, not failed. Sizes, alpha and the absence of message boxes still count.
    const bool platformDecides = std::string(format.name) == "jpeg" &&
                                 std::string(tvn::plat::pictureDecoderName()) == "OleLoadPicture";
    int decided = 0;
    for (const std::string& failure : report.failures) {
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
    EXPECT_EQ(report.passed + decided, format.rows) << format.name << " rows of the manifest";
}

INSTANTIATE_TEST_SUITE_P(Corpus, Manifest,
                         ::testing::Values(Format{"bmp", 102}, Format{"tga", 95}, Format{"gif", 116},
                                           Format{"jpeg", 101}),
                         [](const ::testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

} // namespace
