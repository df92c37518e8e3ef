#include "frame_run.h"

#include <cstdio>

namespace cli {

std::string numberedName(const std::string& name, unsigned index) {
    const std::size_t slash = name.find_last_of("/\\");
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = name.size();
    std::size_t digits = dot;
    const std::size_t stop = slash == std::string::npos ? 0 : slash + 1;
    while (digits > stop && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
    int width = static_cast<int>(dot - digits);
    unsigned long long number = index;
    if (width) number += std::stoull(name.substr(digits, dot - digits));
    else width = 4;
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu", width, number);
    return name.substr(0, digits) + text + name.substr(dot);
}

} // namespace cli
