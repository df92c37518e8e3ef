// The GIF and JPEG rows of the corpus manifest through load: outcome, message,
// size and pixels (GIF exactly; JPEG within the corpus tolerance of the reference).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "support/helpers.h"
#include "support/jpeg_reference.h"
#include "support/manifest.h"

TEST(ManifestGifJpeg, GifRowsMatchExactly) {
    const std::string dir = tvntest::testdataDir();
    if (dir.empty()) GTEST_SKIP() << "reader corpora not found";
    const tvntest::ManifestReport report = tvntest::runManifest(dir, {"gif"});
    for (const std::string& failure : report.failures) ADD_FAILURE() << failure;
    EXPECT_EQ(report.passed, 116) << "GIF rows of the manifest";
}

TEST(ManifestGifJpeg, JpegRowsAreCloseToTheReference) {
    const std::string dir = tvntest::testdataDir();
    if (dir.empty()) GTEST_SKIP() << "reader corpora not found";
    const tvntest::ManifestReport report =
        tvntest::runManifest(dir, {"jpeg"}, [&](const tvntest::ManifestRow& row, CRGBAImage& image) {
            return tvntest::closeToJpegReference(dir, row, image);
        });
    // The Windows picture decoder decides for itself which JPEG kinds it takes and
    // how it converts their colours: there, refusals and colour differences are
    // reported, not failed. Sizes, alpha and the absence of message boxes still count.
    const bool systemDecoder = std::string(tvn::plat::pictureDecoderName()) == "OleLoadPicture";
    int decoderDependent = 0;
    for (const std::string& failure : report.failures) {
        const bool colourOrRefusal = failure.find(": refused") != std::string::npos ||
                                     failure.find("mean difference") != std::string::npos ||
                                     failure.find("values off") != std::string::npos;
        if (systemDecoder && colourOrRefusal) {
            std::printf("  %s decides otherwise: %s\n", tvn::plat::pictureDecoderName(), failure.c_str());
            ++decoderDependent;
        } else {
            ADD_FAILURE() << failure;
        }
    }
    std::printf("JPEG: %d rows passed, %d decided otherwise by the platform decoder\n", report.passed,
                decoderDependent);
    EXPECT_EQ(report.passed + decoderDependent, 101) << "JPEG rows of the manifest";
}
