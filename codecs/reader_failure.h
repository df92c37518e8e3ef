// How every file reader that reports to the user ends a failed read: one message
// box with the caught text, no owner window, and no picture size. load then puts
// the previous picture back.
#ifndef TIVORN_READER_FAILURE_H
#define TIVORN_READER_FAILURE_H

#include "tivorn/types.h"
#include "../platform/platform.h"

namespace tvn {

inline int readerFailed(const char* text, TVN_DWORD& width, TVN_DWORD& height) {
    plat::showMessage(text, nullptr);
    width = 0;
    height = 0;
    return 0;
}

} // namespace tvn

#endif
