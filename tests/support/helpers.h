// Shared helpers of the test programs.
#ifndef TIVORN_TEST_HELPERS_H
#define TIVORN_TEST_HELPERS_H

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tivorn.h"

namespace tvntest {

// Prints a box as one stderr line: the tests' stand-in for the platform's box,
// which could wait for a click on Windows.
void TVN_CDECL stderrSink(const char* text, const char* caption, void* user);

// Records every message box the library shows while it is alive, with the
// message number (1..10) of its text, found by the identity of the library's
// message buffer (4 and 7 share their wording); 0 for any other text.
class MessageRecorder {
public:
    struct Box {
        std::string text;
        std::string caption;
        int number;
    };
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;
    const std::vector<Box>& boxes() const { return m_boxes; }
    std::vector<int> numbers() const;
    // The text of message n as the library holds it (system code page on Windows).
    static std::string expectedText(int n);
    void clear() { m_boxes.clear(); }

private:
    static void TVN_CDECL record(const char* text, const char* caption, void* user);
    std::vector<Box> m_boxes;
};

// A file that exists only in memory, under a name `load` accepts.
class MemoryFile {
public:
    MemoryFile(const std::string& name, const std::vector<unsigned char>& bytes);
    ~MemoryFile();
    const char* path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

// A fresh file under the system's temporary folder, removed on destruction.
class TempFile {
public:
    explicit TempFile(const std::string& name);
    ~TempFile();
    const char* path() const { return m_path.c_str(); }
    void write(const std::vector<unsigned char>& bytes) const;
    std::vector<unsigned char> read() const;

private:
    std::string m_path;
};

// ../shared/testdata, or empty when it is not there.
std::string testdataDir();
std::vector<unsigned char> readFileBytes(const std::string& path);
bool fileExists(const std::string& path);

// Runs a reader (tvn::ImageAccess::readBMP, readTGA, ...) on bytes given as an
// open file; fills *messages with the numbers of the boxes it showed.
int readWith(int (*reader)(CRGBAImage&, HANDLE), CRGBAImage& image, const std::vector<unsigned char>& bytes,
             std::vector<int>* messages);

// The run-length stream compressRLE gives of the image; empty when it gives none.
std::vector<unsigned char> packed(CRGBAImage& image);

// Reproducible pseudo-random pixels; photo-like when smooth is true.
std::vector<TVN_DWORD> randomPixels(TVN_DWORD width, TVN_DWORD height, unsigned seed, bool smooth = false);

std::vector<TVN_DWORD> pixelsOf(CRGBAImage& image);
// Width, height, original width, original height.
std::vector<TVN_DWORD> sizesOf(CRGBAImage& image);
// px (w x h) resized to nw x nh with filter through setSize, which must succeed.
std::vector<TVN_DWORD> resized(const std::vector<TVN_DWORD>& px, TVN_DWORD w, TVN_DWORD h, TVN_DWORD nw, TVN_DWORD nh,
                               int filter);

// Everything of an image a copy or a failed load must keep: the picture
// (buffers by content, then w, h, wo, ho), and the names, settings and the
// transparency record's bytes.
using Snapshot = std::pair<std::tuple<std::vector<TVN_DWORD>, std::vector<TVN_DWORD>, std::vector<unsigned char>,
                                      std::vector<TVN_DWORD>>,
                           std::tuple<std::string, std::string, std::vector<int>, std::vector<unsigned char>>>;
Snapshot snapshot(CRGBAImage& image);

// Makes the image look resized: an untouched copy of ow x oh random words
// (randomPixels(ow, oh, seed)) and their alpha saved.
void giveUntouchedCopy(CRGBAImage& image, TVN_DWORD ow, TVN_DWORD oh, unsigned seed);

} // namespace tvntest

#endif
