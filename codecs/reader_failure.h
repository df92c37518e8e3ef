// How every file reader that reports to the user ends a failed read: one message
// box with the caught text, no owner window. The decoded record then holds no
// picture, and whoever installs it leaves the image without a size.
#ifndef TIVORN_READER_FAILURE_H
#define TIVORN_READER_FAILURE_H

#include "platform/platform.h"

namespace tvn::codecs {

inline int readerFailed(const char* text) {
    plat::showMessage(text, nullptr);
    return 0;
}

} // namespace tvn::codecs

#endif
