// The records of a cache file read straight from its bytes, for what the
// library's handles do not report (packed lengths, time stamps) and for verify,
// which must name the first fault it finds.
#ifndef TIVORN_TOOLS_CACHE_RECORDS_H
#define TIVORN_TOOLS_CACHE_RECORDS_H

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

struct CACHE_FRAME_RECORD {
    std::string name;
    std::uint64_t time; // FILETIME: 100-ns units since 1601-01-01 UTC
    std::uint32_t offset, width, height, packed;
};
struct CACHE_ENTRY_RECORD {
    std::string name;
    std::uint32_t offset;
    std::vector<CACHE_FRAME_RECORD> frames;
};

// Reads every record; false with `fault` set to one line naming the first fault
// (the magic, the count, an offset or length out of range).
bool readCacheRecords(const std::string& path, std::vector<CACHE_ENTRY_RECORD>& entries, std::string& fault);
// "2026-12-06 19:53:40 UTC".
std::string formatFileTime(std::uint64_t time);
// The file's last-write time in the same units, to the second; 0 when it is missing.
std::uint64_t currentFileTime(const std::string& path);

} // namespace cli

#endif
