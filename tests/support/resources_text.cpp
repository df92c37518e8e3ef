#include "resources_text.h"

#include <map>
#include "tivorn/types.h"

namespace tvntest {

namespace {
const std::map<int, std::string>& utf8Texts() {
    static const std::map<int, std::string> texts = {
#define TVN_MESSAGE(n, name, text) {n, text},
#include "resources/messages.inc"
#undef TVN_MESSAGE
    };
    return texts;
}
} // namespace

std::string systemCodePageText(int n) {
    const std::string& utf8 = utf8Texts().at(n);
#if defined(_WIN32)
    int wlen = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wlen), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], wlen);
    int alen = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(alen), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &ansi[0], alen, nullptr, nullptr);
    ansi.resize(ansi.size() ? ansi.size() - 1 : 0);
    return ansi;
#else
    return utf8;
#endif
}

} // namespace tvntest
