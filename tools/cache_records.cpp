#include "cache_records.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <fstream>

namespace cli {
namespace {

const char kMagic[] = "KovraAnimationCache";
const std::uint64_t kUnixEpoch = 11644473600ull; // seconds from 1601 to 1970

class Reader {
public:
    explicit Reader(const std::string& path) : m_in(path, std::ios::binary) {
        m_in.seekg(0, std::ios::end);
        m_size = m_in ? static_cast<std::uint64_t>(m_in.tellg()) : 0;
    }
    bool open() const { return static_cast<bool>(m_in); }
    std::uint64_t size() const { return m_size; }
    bool bytes(std::uint64_t at, void* out, std::uint64_t n) {
        if (at > m_size || n > m_size - at) return false;
        m_in.seekg(static_cast<std::streamoff>(at));
        m_in.read(static_cast<char*>(out), static_cast<std::streamsize>(n));
        return static_cast<bool>(m_in);
    }
    bool u32(std::uint64_t at, std::uint32_t& v) {
        unsigned char b[4];
        if (!bytes(at, b, 4)) return false;
        v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        return true;
    }
    bool text(std::uint64_t at, std::uint64_t limit, std::string& s) {
        std::uint32_t n = 0;
        if (!u32(at, n) || at + 4 + n > limit) return false;
        s.resize(n);
        return n == 0 || bytes(at + 4, &s[0], n);
    }

private:
    std::ifstream m_in;
    std::uint64_t m_size = 0;
};

} // namespace

bool readCacheRecords(const std::string& path, std::vector<CACHE_ENTRY_RECORD>& entries, std::string& fault) {
    Reader in(path);
    char magic[19];
    std::uint32_t count = 0;
    if (!in.open()) return fault = "cannot be read", false;
    if (!in.bytes(0, magic, 19) || std::string(magic, 19) != kMagic) return fault = "no \"KovraAnimationCache\" magic at 0", false;
    if (in.size() < 23 || !in.u32(in.size() - 4, count) || 4ull * count > in.size() - 23)
        return fault = "entry count " + std::to_string(count) + " does not fit the file", false;
    const std::uint64_t table = in.size() - 4 - 4ull * count;
    for (std::uint32_t e = 0; e < count; ++e) {
        CACHE_ENTRY_RECORD entry;
        std::uint32_t frames = 0;
        const std::string where = "entry " + std::to_string(e);
        if (!in.u32(table + 4ull * e, entry.offset) || entry.offset < 19 || entry.offset >= table)
            return fault = where + ": offset " + std::to_string(entry.offset) + " out of range", false;
        if (!in.text(entry.offset, table, entry.name)) return fault = where + ": name runs past the records", false;
        const std::uint64_t slots = entry.offset + 8ull + entry.name.size();
        if (!in.u32(slots - 4, frames) || slots + 4ull * frames > table)
            return fault = where + ": frame table of " + std::to_string(frames) + " runs past the records", false;
        for (std::uint32_t k = 0; k < frames; ++k) {
            CACHE_FRAME_RECORD f{};
            const std::string at = where + " frame " + std::to_string(k);
            unsigned char fields[20];
            if (!in.u32(slots + 4ull * k, f.offset) || f.offset < 19 || f.offset >= table)
                return fault = at + ": offset " + std::to_string(f.offset) + " out of range", false;
            if (!in.text(f.offset, table, f.name) || !in.bytes(f.offset + 4ull + f.name.size(), fields, 20))
                return fault = at + ": record runs past the records", false;
            auto word = [&](int i) { return fields[i] | (fields[i + 1] << 8) | (fields[i + 2] << 16) | (static_cast<std::uint32_t>(fields[i + 3]) << 24); };
            f.time = word(0) | (static_cast<std::uint64_t>(word(4)) << 32);
            f.width = word(8);
            f.height = word(12);
            f.packed = word(16);
            if (f.offset + 24ull + f.name.size() + f.packed > table)
                return fault = at + ": " + std::to_string(f.packed) + " packed bytes run past the records", false;
            entry.frames.push_back(f);
        }
        entries.push_back(entry);
    }
    return true;
}

std::string formatFileTime(std::uint64_t time) {
    const std::time_t seconds = static_cast<std::time_t>(time / 10000000ull - kUnixEpoch);
    char text[32] = "?";
    if (const std::tm* tm = std::gmtime(&seconds)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", tm);
    return text;
}

std::uint64_t currentFileTime(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return 0;
    return (static_cast<std::uint64_t>(st.st_mtime) + kUnixEpoch) * 10000000ull;
}

} // namespace cli
