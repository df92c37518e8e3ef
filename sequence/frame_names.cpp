#include "sequence/frame_names.h"

#include <cstdio>
#include <cstring>

#include "pixel/heap.h"
#include "platform/platform.h"

namespace tvn {
namespace sequence {
namespace {

const char kDigits[] = "0123456789";

// The number a digit run stands for; false when it does not fit in 64 bits
// (such a name is then taken as a single frame rather than counted on).
bool digitValue(const char* digits, std::size_t width, unsigned long long* value) {
    unsigned long long v = 0;
    for (std::size_t i = 0; i < width; ++i) {
        unsigned d = static_cast<unsigned>(digits[i] - '0');
        if (v > (~0ull - d) / 10) return false;
        v = v * 10 + d;
    }
    *value = v;
    return true;
}

// Appends `candidate` when the file exists; otherwise frees it. Returns whether it was kept.
bool keepIfExists(char* candidate, FRAME_NAME_LIST& list) {
    if (!plat::pathExists(candidate)) {
        freeFrameName(candidate);
        return false;
    }
    try {
        list.push_back(candidate);
        return true;
    } catch (...) { // no room in the list: the run ends here
        freeFrameName(candidate);
        return false;
    }
}

} // namespace

char* newFrameName() {
    return static_cast<char*>(pixel::heapAllocZero(TVN_MAX_PATH));
}

void freeFrameName(char* name) {
    pixel::heapFree(name);
}

void freeFrameNames(FRAME_NAME_LIST& list) {
    for (char* name : list) freeFrameName(name);
    list.clear();
}

void enumerateFrameFiles(const char* fileName, FRAME_NAME_LIST& list) {
    freeFrameNames(list);
    if (!fileName || std::strlen(fileName) >= TVN_MAX_PATH) return;

    char base[TVN_MAX_PATH];
    char extension[TVN_MAX_PATH];
    std::strcpy(base, fileName);
    char* dot = plat::pathFindExtension(base);
    std::strcpy(extension, dot);
    *dot = 0;

    // The final digit run of the base: runs of non-digits then digits, the last
    // digit run wins; a base ending in a non-digit has none.
    std::size_t pos = 0, digitsAt = 0, width = 0;
    const std::size_t length = std::strlen(base);
    while (pos < length) {
        pos += std::strcspn(base + pos, kDigits);
        digitsAt = pos;
        width = std::strspn(base + pos, kDigits);
        pos += width;
    }

    unsigned long long number = 0;
    const bool counted = width != 0 && digitValue(base + digitsAt, width, &number);
    if (counted) base[digitsAt] = 0; // the prefix

    // Printed into room for any prefix, number and extension, then kept only if it fits a name block.
    char printed[2 * TVN_MAX_PATH + 32];
    for (;;) {
        int n = counted ? std::snprintf(printed, sizeof printed, "%s%.*llu%s", base,
                                        static_cast<int>(width), number, extension)
                        : std::snprintf(printed, sizeof printed, "%s%s", base, extension);
        if (n < 0 || static_cast<unsigned>(n) >= TVN_MAX_PATH) return;
        char* candidate = newFrameName();
        if (!candidate) return;
        std::memcpy(candidate, printed, static_cast<std::size_t>(n));
        if (!keepIfExists(candidate, list) || !counted || number == ~0ull) return;
        ++number;
    }
}

} // namespace sequence
} // namespace tvn
