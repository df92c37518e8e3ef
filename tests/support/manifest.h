// The reader corpora of ../shared/testdata: manifest.tsv rows, and a runner
// that loads every row of the chosen formats through CRGBAImage::load and
// checks outcome, message number, size and the hash of the pixel buffer.
#ifndef TIVORN_TEST_MANIFEST_H
#define TIVORN_TEST_MANIFEST_H

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tivorn.h"
#include "reader_run.h"

namespace tvntest {

struct ManifestRow {
    std::string path;     // relative to the corpus folder
    std::string format;   // bmp, tga, gif, jpeg
    std::string expected; // load, refuse, unsure
    std::string message;  // "2", "1|2", "none"
    unsigned width = 0;
    unsigned height = 0;
    std::string sha256;  // of the buffer as bytes R, G, B, A, bottom row first
    std::string compare; // exact, approx, size, -
    std::string notes;
};

std::vector<ManifestRow> readManifest(const std::string& dir);

// Decides a loaded row whose compare column is not "exact" (nor a hash match):
// returns an empty text when the pixels pass, else why not.
using PixelCheck = std::function<std::string(const ManifestRow&, CRGBAImage&)>;

struct ManifestReport {
    int passed = 0;
    int failed = 0;
    int skipped = 0;              // unsure rows
    std::vector<std::string> failures; // one line per failed row
};

// Runs every row whose format is in `formats`. Rows compared "size" pass on size
// and opaque alpha; "approx" rows need `approx` (without it they must match the hash).
ManifestReport runManifest(const std::string& dir, const std::set<std::string>& formats,
                           const PixelCheck& approx = PixelCheck());

} // namespace tvntest

#endif
