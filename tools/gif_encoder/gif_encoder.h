// A small GIF writer, header only, shared by the demo picture generator, the tests
// and the benchmarks: an LZW encoder with the knobs that crafted files need (no
// leading clear, no end code, no clear when the table is full), data sub-blocks
// of any size, and the file's blocks.
#ifndef TIVORN_GIF_ENCODER_H
#define TIVORN_GIF_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace gifenc {

using Bytes = std::vector<unsigned char>;

struct LzwOptions {
    int minCodeSize = 8;
    bool clearFirst = true;
    bool endCode = true;
    bool clearWhenFull = true; // else 12-bit codes go on without new entries
};

class BitWriter {
public:
    void put(unsigned code, int size) {
        m_acc |= static_cast<std::uint64_t>(code) << m_count;
        m_count += size;
        while (m_count >= 8) {
            m_out.push_back(static_cast<unsigned char>(m_acc));
            m_acc >>= 8;
            m_count -= 8;
        }
    }
    Bytes finish() {
        if (m_count > 0) m_out.push_back(static_cast<unsigned char>(m_acc));
        m_acc = 0;
        m_count = 0;
        return m_out;
    }

private:
    Bytes m_out;
    std::uint64_t m_acc = 0;
    int m_count = 0;
};

// The code stream (not yet in sub-blocks) of indices, each below 2^minCodeSize.
// Code sizes follow the decoder: code j after a clear is as wide as the smallest
// size whose 2^size is at least firstFree + j, at most 12.
inline Bytes lzwEncode(const std::vector<std::uint16_t>& indices, const LzwOptions& options = LzwOptions()) {
    const int m = options.minCodeSize;
    const unsigned clear = 1u << m, end = clear + 1, firstFree = clear + 2;
    // The table: (code << 12 | index) -> code of that string plus that index.
    std::unordered_map<std::uint32_t, std::uint16_t> table;
    table.reserve(8192);
    BitWriter bits;
    unsigned j = 0; // codes since the last clear
    auto width = [&]() {
        int s = m + 1;
        while (s < 12 && firstFree + j > (1u << s)) ++s;
        return s;
    };
    auto emit = [&](unsigned code) {
        bits.put(code, width());
        ++j;
    };
    auto restart = [&]() {
        emit(clear);
        j = 0;
        table.clear();
    };
    if (options.clearFirst) restart();
    if (indices.empty()) {
        if (options.endCode) emit(end);
        return bits.finish();
    }
    unsigned current = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const unsigned c = indices[i];
        const std::uint32_t key = (current << 12) | c;
        auto found = table.find(key);
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        emit(current);
        const unsigned entry = firstFree + j - 1;
        if (entry < 4096) {
            table.emplace(key, static_cast<std::uint16_t>(entry));
        } else if (options.clearWhenFull) {
            restart();
        }
        current = c;
    }
    emit(current);
    if (options.endCode) emit(end);
    return bits.finish();
}

// Length-prefixed sub-blocks, ended by a zero length byte unless terminate is false.
inline Bytes subBlocks(const Bytes& data, std::size_t blockSize = 255, bool terminate = true) {
    Bytes out;
    for (std::size_t i = 0; i < data.size(); i += blockSize) {
        std::size_t n = data.size() - i < blockSize ? data.size() - i : blockSize;
        out.push_back(static_cast<unsigned char>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                   data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    if (terminate) out.push_back(0);
    return out;
}

inline void putWord(Bytes& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

// Size code of a colour table of table.size() / 3 entries (a power of two, 2..256).
inline unsigned char sizeCode(const Bytes& table) {
    unsigned char code = 0;
    while ((6u << code) < table.size()) ++code;
    return code;
}

// Signature, logical screen and the global table (none when empty).
inline Bytes header(unsigned width, unsigned height, const Bytes& globalTable) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    putWord(out, width);
    putWord(out, height);
    out.push_back(globalTable.empty() ? 0 : static_cast<unsigned char>(0x80 | sizeCode(globalTable)));
    out.push_back(0);
    out.push_back(0);
    out.insert(out.end(), globalTable.begin(), globalTable.end());
    return out;
}

// An image descriptor, its local table (none when empty), the minimum code size
// byte and the data exactly as given (already in sub-blocks).
inline void image(Bytes& out, unsigned left, unsigned top, unsigned width, unsigned height, bool interlaced,
                  const Bytes& localTable, int minCodeSize, const Bytes& blocks) {
    out.push_back(0x2C);
    putWord(out, left);
    putWord(out, top);
    putWord(out, width);
    putWord(out, height);
    unsigned char flags = interlaced ? 0x40 : 0;
    if (!localTable.empty()) flags = static_cast<unsigned char>(flags | 0x80 | sizeCode(localTable));
    out.push_back(flags);
    out.insert(out.end(), localTable.begin(), localTable.end());
    out.push_back(static_cast<unsigned char>(minCodeSize));
    out.insert(out.end(), blocks.begin(), blocks.end());
}

// The rows of a top-first picture in the order an interlaced image sends them.
inline std::vector<std::uint16_t> interlaceRows(const std::vector<std::uint16_t>& rows, unsigned width,
                                                unsigned height) {
    std::vector<std::uint16_t> out;
    const unsigned starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    for (int p = 0; p < 4; ++p)
        for (unsigned y = starts[p]; y < height; y += steps[p])
            out.insert(out.end(), rows.begin() + static_cast<std::ptrdiff_t>(y) * width,
                       rows.begin() + static_cast<std::ptrdiff_t>(y + 1) * width);
    return out;
}

} // namespace gifenc

#endif
