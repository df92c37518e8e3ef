// The GIF and JPEG rows of the corpus manifest: each file read as load reads it,
// with the outcome, size and pixels the manifest gives. Unsure rows only have to
// come back without harm.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image_access.h"
#include "platform/platform.h"
#include "support/helpers.h"
#include "support/manifest_rows.h"

namespace {

using tvntest::ManifestRow;

int readAs(CRGBAImage& image, const std::string& path, const std::string& format) {
    HANDLE file = tvn::plat::fileOpenRead(path.c_str());
    if (file == INVALID_HANDLE_VALUE) return -1;
    int ok = format == "gif" ? tvn::ImageAccess::readGIF(image, file) : tvn::ImageAccess::readJPEG(image, file);
    tvn::plat::fileClose(file);
    return ok;
}

struct Outcome {
    int passed = 0;
    std::vector<std::string> failures;
    std::vector<std::string> refusedByDecoder;
    std::vector<std::string> differentByDecoder;
};

Outcome runRows(const std::string& format, bool decoderMayRefuse) {
    const std::string dir = tvntest::testdataDir();
    Outcome outcome;
    for (const ManifestRow& row : tvntest::readManifest(dir, format)) {
        tvntest::MessageRecorder boxes;
        CRGBAImage image;
        const int ok = readAs(image, dir + "/" + row.path, format);
        std::string why;
        if (ok < 0) {
            why = "cannot open";
        } else if (row.expected == "unsure") {
            continue;
        } else if (row.expected == "refuse") {
            if (ok)
                why = "loaded, expected message " + row.message;
            else if (boxes.boxes().size() != 1 || boxes.boxes()[0].text != boxes.expectedText(std::stoi(row.message)))
                why = "refused without exactly message " + row.message;
        } else if (!ok) {
            if (decoderMayRefuse) {
                outcome.refusedByDecoder.push_back(row.path);
                continue;
            }
            why = "refused";
        } else {
            why = tvntest::checkLoadedPicture(dir, row, image.getBuffer(), image.getWidth(), image.getHeight());
            if (!why.empty() && decoderMayRefuse) {
                // Size and alpha are the library's; the colours are the decoder's.
                ManifestRow sizeOnly = row;
                sizeOnly.compare = "size";
                if (tvntest::checkLoadedPicture(dir, sizeOnly, image.getBuffer(), image.getWidth(), image.getHeight())
                        .empty()) {
                    outcome.differentByDecoder.push_back(row.path + " (" + why + ")");
                    continue;
                }
            }
            if (why.empty() && (image.containsAlpha() || !boxes.boxes().empty()))
                why = "alpha flag or a message box after a load";
        }
        if (why.empty())
            ++outcome.passed;
        else
            outcome.failures.push_back(row.path + ": " + why);
    }
    return outcome;
}

void report(const Outcome& outcome, const char* what) {
    for (const std::string& f : outcome.failures) ADD_FAILURE() << f;
    for (const std::string& r : outcome.refusedByDecoder)
        std::printf("  refused by %s: %s\n", tvn::plat::pictureDecoderName(), r.c_str());
    for (const std::string& r : outcome.differentByDecoder)
        std::printf("  colours of %s outside the tolerance: %s\n", tvn::plat::pictureDecoderName(), r.c_str());
    std::printf("%s: %d rows passed, %d failed, %d refused and %d coloured otherwise by the platform decoder\n", what,
                outcome.passed, static_cast<int>(outcome.failures.size()),
                static_cast<int>(outcome.refusedByDecoder.size()), static_cast<int>(outcome.differentByDecoder.size()));
}

TEST(ManifestGifJpeg, GifRows) {
    if (tvntest::testdataDir().empty()) GTEST_SKIP() << "corpora not present";
    Outcome outcome = runRows("gif", false);
    report(outcome, "GIF");
    EXPECT_GT(outcome.passed, 100);
}

TEST(ManifestGifJpeg, JpegRows) {
    if (tvntest::testdataDir().empty()) GTEST_SKIP() << "corpora not present";
    // The system decoder of Windows decides for itself which JPEG kinds it takes
    // and how it converts their colours; TurboJPEG must take every row within the
    // corpus tolerance.
    const bool system = std::string(tvn::plat::pictureDecoderName()) == "OleLoadPicture";
    Outcome outcome = runRows("jpeg", system);
    report(outcome, "JPEG");
    EXPECT_GT(outcome.passed, system ? 0 : 100);
}

} // namespace
