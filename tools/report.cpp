// Reporting: one clear line on stderr per failure, the library's own messages
// included, each printed once in the library's words.
#include <cstdio>

#include "cli.h"

namespace cli {
namespace {

unsigned g_messages = 0;
std::string g_last;

void TVN_CDECL printMessage(const char* text, const char* /*caption*/, void* /*user*/) {
    g_last = text ? text : "";
    std::fprintf(stderr, "tivorn: %s\n", g_last.c_str());
    std::fflush(stderr);
    ++g_messages;
}

} // namespace

void error(const std::string& text) {
    g_last = text;
    std::fprintf(stderr, "tivorn: %s\n", text.c_str());
    std::fflush(stderr);
}

void installMessageProc() {
    tvnSetMessageProc(printMessage, nullptr);
}

const std::string& lastLine() {
    return g_last;
}

unsigned messageCount() {
    return g_messages;
}

void reportOnce(unsigned mark, const std::string& text) {
    if (g_messages == mark)
        error(text);
}

bool wantsHelp(const Args& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h")
            return true;
    return false;
}

std::string formatMs(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", ms);
    return text;
}

} // namespace cli
