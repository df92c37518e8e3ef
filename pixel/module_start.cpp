#include "pixel/module_start.h"
#include "platform/platform.h"

#include <atomic>

namespace tvn::pixel {

namespace {
char g_messages[kMessageCount][kMessageSize];
const unsigned kCacheIds[] = {
#define TVN_CACHE_MESSAGE(n, name, thrown, text) n,
#include "resources/cache_messages.inc"
#undef TVN_CACHE_MESSAGE
};
const int kCacheMessageCount = sizeof kCacheIds / sizeof kCacheIds[0];
char g_cacheMessages[kCacheMessageCount][kMessageSize];
int g_filled = 0;
char g_empty[1] = {0};
// The historical order in which the string table is read.
const int kLoadOrder[kMessageCount] = {10, 1, 2, 7, 4, 3, 5, 6, 8, 9};
} // namespace

void moduleAttach(void* module, unsigned reason) {
    if ((reason != kAttachProcess && reason != kAttachThread) || g_filled) return;
    for (int n : kLoadOrder) {
        if (plat::loadString(module, static_cast<unsigned>(n), g_messages[n - 1], kMessageSize) <= 0)
            g_messages[n - 1][0] = 0;
    }
    for (int i = 0; i < kCacheMessageCount; ++i)
        if (plat::loadString(module, kCacheIds[i], g_cacheMessages[i], kMessageSize) <= 0) g_cacheMessages[i][0] = 0;
    // The system's environment serves the library from here on, unless the
    // program that embeds the core installs another.
    plat::installEnvironment(nullptr);
    g_filled = 1;
}

namespace {
std::atomic<bool> g_processEnding{false};
}

void processEnding() {
    g_processEnding.store(true);
}

bool isProcessEnding() {
    return g_processEnding.load();
}

char* messageText(int n) {
    return g_messages[n - 1];
}

const char* cacheMessageText(CacheMsg m) {
    for (int i = 0; i < kCacheMessageCount; ++i)
        if (kCacheIds[i] == static_cast<unsigned>(m)) return g_cacheMessages[i];
    return g_empty;
}

char* messageText(Msg m) {
    return messageText(static_cast<int>(m));
}

void throwMessage(Msg m) {
    throw messageText(m);
}

void throwEmpty() {
    throw static_cast<char*>(g_empty);
}

} // namespace tvn::pixel
