#include "pixel/module_start.h"
#include "platform/platform.h"

namespace tvn::pixel {

namespace {
char g_messages[kMessageCount][kMessageSize];
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
    g_filled = 1;
}

char* messageText(int n) {
    return g_messages[n - 1];
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
