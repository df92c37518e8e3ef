#include "reader_run.h"

#include <string>

#include "pixel/module_start.h"
#include "platform/platform.h"
#include "platform/testing/memory_files.h"

namespace tvntest {

int messageNumberOf(const char* text) {
    for (int n = 1; n <= tvn::kMessageCount; ++n)
        if (text == tvn::messageText(n)) return n;
    return 0;
}

MessageNumbers::MessageNumbers() {
    tvnSetMessageProc(&MessageNumbers::record, this);
}

MessageNumbers::~MessageNumbers() {
    tvnSetMessageProc(nullptr, nullptr);
}

void TVN_CDECL MessageNumbers::record(const char* text, const char*, void* user) {
    static_cast<MessageNumbers*>(user)->m_numbers.push_back(messageNumberOf(text));
}

int readWith(int (*reader)(CRGBAImage&, HANDLE), CRGBAImage& image, const std::vector<unsigned char>& bytes,
             std::vector<int>* messages) {
    static unsigned counter = 0;
    const std::string name = "mem/reader_input_" + std::to_string(++counter);
    tvn::plat::memoryFileAdd(name.c_str(), bytes.data(), bytes.size());
    HANDLE file = tvn::plat::fileOpenRead(name.c_str());
    MessageNumbers boxes;
    const int result = reader(image, file);
    tvn::plat::fileClose(file);
    tvn::plat::memoryFileRemove(name.c_str());
    if (messages) *messages = boxes.numbers();
    return result;
}

} // namespace tvntest
