// The reader corpora of ../shared/testdata: a runner that loads every manifest.tsv
// row of one format through CRGBAImage::load and checks outcome, message number,
// size and pixels.
#ifndef TIVORN_TEST_MANIFEST_H
#define TIVORN_TEST_MANIFEST_H

#include <string>
#include <vector>

namespace tvntest {

struct ManifestReport {
    int passed = 0;
    int failed = 0;
    int skipped = 0;                   // unsure rows
    std::vector<std::string> failures; // "path: why", one per failed row
};

// Rows compared "exact" must match the listed SHA-256 of the buffer; "approx"
// rows (JPEG) must lie within the corpus tolerance of the reference picture
// ref/<path>.rgb.z; "size" rows pass on size and opaque alpha.
ManifestReport runManifest(const std::string& dir, const std::string& format);

} // namespace tvntest

#endif
