// A reader called on bytes given as an open file.
#ifndef TIVORN_TEST_READER_RUN_H
#define TIVORN_TEST_READER_RUN_H

#include <vector>

#include "helpers.h"

namespace tvntest {

// Runs a reader (tvn::ImageAccess::readBMP, readTGA, ...) on bytes given as an
// open file; fills *messages with the numbers of the boxes it showed.
int readWith(int (*reader)(CRGBAImage&, HANDLE), CRGBAImage& image, const std::vector<unsigned char>& bytes,
             std::vector<int>* messages);

} // namespace tvntest

#endif
