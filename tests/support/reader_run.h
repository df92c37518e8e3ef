// Running the readers in tests: message numbers of the boxes they show, and a
// reader called on bytes given as an open file.
#ifndef TIVORN_TEST_READER_RUN_H
#define TIVORN_TEST_READER_RUN_H

#include <vector>

#include "tivorn.h"

namespace tvntest {

// The message number (1..10) of a box text the library showed, by the identity of
// its message buffer (4 and 7 share their wording); 0 for any other text.
int messageNumberOf(const char* text);

// Records the message number of every box shown while it is alive.
class MessageNumbers {
public:
    MessageNumbers();
    ~MessageNumbers();
    MessageNumbers(const MessageNumbers&) = delete;
    MessageNumbers& operator=(const MessageNumbers&) = delete;
    const std::vector<int>& numbers() const { return m_numbers; }

private:
    static void TVN_CDECL record(const char* text, const char* caption, void* user);
    std::vector<int> m_numbers;
};

// Runs a reader (tvn::ImageAccess::readBMP, readTGA, ...) on bytes given as an
// open file; fills *messages with the numbers of the boxes it showed.
int readWith(int (*reader)(CRGBAImage&, HANDLE), CRGBAImage& image, const std::vector<unsigned char>& bytes,
             std::vector<int>* messages);

} // namespace tvntest

#endif
