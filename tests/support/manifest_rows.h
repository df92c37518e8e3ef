// The rows of the corpus manifest (testdata/manifest.tsv) and the checks a loaded
// picture must pass for its row.
#ifndef TIVORN_TEST_MANIFEST_ROWS_H
#define TIVORN_TEST_MANIFEST_ROWS_H

#include <string>
#include <vector>

#include "tivorn.h"

namespace tvntest {

struct ManifestRow {
    std::string path; // relative to the testdata folder
    std::string format;
    std::string expected; // load, refuse or unsure
    std::string message;  // "2", "1|2", or none
    TVN_DWORD width = 0;
    TVN_DWORD height = 0;
    std::string sha256;
    std::string compare; // exact, approx, size or -
    std::string notes;
};

// Rows of the given format ("" for all) from dir/manifest.tsv.
std::vector<ManifestRow> readManifest(const std::string& dir, const std::string& format);

// Empty when the picture fits the row; otherwise why not.
std::string checkLoadedPicture(const std::string& dir, const ManifestRow& row, const TVN_DWORD* pixels, TVN_DWORD width,
                               TVN_DWORD height);

} // namespace tvntest

#endif
