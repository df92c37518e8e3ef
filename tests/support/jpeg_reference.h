// Closeness of a decoded JPEG to the reference picture of the corpus (ref/*.rgb.z):
// the decoder is the platform's, so its rounding may differ a little.
#ifndef TIVORN_TEST_JPEG_REFERENCE_H
#define TIVORN_TEST_JPEG_REFERENCE_H

#include <string>

#include "manifest.h"

namespace tvntest {
// Empty when the picture is within the corpus tolerance (mean absolute channel
// difference at most 6, at most 2% of the values off by more than 64), else why not.
std::string closeToJpegReference(const std::string& dir, const ManifestRow& row, CRGBAImage& image);
} // namespace tvntest

#endif
