#ifndef TIVORN_TEST_RESOURCES_TEXT_H
#define TIVORN_TEST_RESOURCES_TEXT_H

#include <string>

namespace tvntest {
// Message n of resources/messages.inc as the library must hold it: UTF-8 on
// POSIX, the system ANSI code page on Windows (what LoadStringA gives).
std::string systemCodePageText(int n);
} // namespace tvntest

#endif
