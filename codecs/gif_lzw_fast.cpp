// The fast decode loop of the GIF LZW decoder. Every string it produces already
// lies in the index buffer: a table entry is the previous string plus one
// character, and both sit side by side in the output. So each code keeps the
// place and length of its string (colour indices keep theirs in the room before
// the output), and a code is decoded by copying that range, with no walk along
// the prefix chain. The prefix and suffix tables are still kept, so that the
// reference loop can take over at any code.
//
// The reference loop (which drops what exceeds the capacity and reports damaged
// chains) takes over for everything this loop does not model: a string that
// would not fit, a code beyond the next free one, and a first code that is not a
// plain colour index.
#include "codecs/gif_lzw.h"

#include <cstring>

#include "codecs/gif_format.h"

namespace tvn::codecs {

namespace {
// Copies n entries in chunks of eight; may write up to seven entries beyond
// dst + n. The source string always ends at or before dst, so every chunk reads
// its meaningful entries before anything overwrites them.
inline void copyString(unsigned short* dst, const unsigned short* src, TVN_DWORD n) {
    std::memmove(dst, src, 16);
    for (TVN_DWORD i = 8; i < n; i += 8) std::memmove(dst + i, src + i, 16);
}

inline TVN_DWORD load32(const unsigned char* p) {
    return p[0] | (TVN_DWORD(p[1]) << 8) | (TVN_DWORD(p[2]) << 16) | (TVN_DWORD(p[3]) << 24);
}

// Where a string lies, its length and its first character: everything a code
// needs in one load, so nothing waits for the string copies to land.
inline unsigned long long placeOf(TVN_DWORD start, TVN_DWORD length, TVN_DWORD first) {
    return start | (static_cast<unsigned long long>(length) << 32) | (static_cast<unsigned long long>(first) << 48);
}
} // namespace

int CGifLzwDecoder::runFast() {
    unsigned short* const lead = m_pOut - kIndexLead;
    unsigned short* const prefix = m_pPrefix;
    unsigned short* const suffix = m_pSuffix;
    unsigned long long* const place = m_pPlace;
    const unsigned char* const block = m_pBlock;
    const TVN_DWORD clear = m_wClear;
    const TVN_DWORD end = m_wEnd;
    const TVN_DWORD outEnd = kIndexLead + m_dwCapacity;

    for (TVN_DWORD c = 0; c < clear; ++c) {
        lead[c] = static_cast<unsigned short>(c);
        place[c] = placeOf(c, 1, c);
    }

    TVN_DWORD count = kIndexLead + m_dwCount;
    int bitPos = m_nBitPos;
    int bitLimit = 8 * m_nValid - 1;
    int codeSize = m_byCodeSize;
    TVN_DWORD mask = m_wMask;
    TVN_DWORD next = m_wNext;
    TVN_DWORD limit = m_wLimit;
    TVN_DWORD old = m_wOld;
    TVN_DWORD prevStart = m_dwPrevStart;
    TVN_DWORD prevLen = m_dwPrevLen;
    TVN_DWORD prevFirst = m_wFirst;
    State state = m_state;

    auto save = [&]() {
        m_dwCount = count - kIndexLead;
        m_nBitPos = bitPos;
        m_byCodeSize = static_cast<unsigned char>(codeSize);
        m_wMask = static_cast<unsigned short>(mask);
        m_wNext = static_cast<unsigned short>(next);
        m_wLimit = static_cast<unsigned short>(limit);
        m_wOld = static_cast<unsigned short>(old);
        m_dwPrevStart = prevStart;
        m_dwPrevLen = prevLen;
        m_state = state;
        m_wFirst = static_cast<unsigned short>(prevFirst);
    };
    // A clear code: the table starts again at the initial code size.
    auto restartAfterClear = [&]() {
        save();
        reset();
        codeSize = m_byCodeSize;
        mask = m_wMask;
        next = m_wNext;
        limit = m_wLimit;
        state = AfterClear;
    };
    // The next code, or -1 at the end of the data.
    auto readCode = [&]() -> int {
        if (bitPos + codeSize > bitLimit) {
            save();
            int c = refillAndReadCode();
            bitPos = m_nBitPos;
            bitLimit = 8 * m_nValid - 1;
            return c;
        }
        int c = static_cast<int>((load32(block + (bitPos >> 3)) >> (bitPos & 7)) & mask);
        bitPos += codeSize;
        return c;
    };

    for (;;) {
        int code = readCode();
        if (code < 0) return -1;
        if (state != HaveOldCode) {
            // The first code of the data or after a clear code.
            if (static_cast<TVN_DWORD>(code) == clear) {
                restartAfterClear();
                continue;
            }
            if (state == NoOldCode && static_cast<TVN_DWORD>(code) == end) {
                save();
                return -1;
            }
            if (static_cast<TVN_DWORD>(code) >= clear || count >= outEnd) {
                save();
                return code;
            }
            lead[count] = static_cast<unsigned short>(code);
            prevStart = count++;
            prevLen = 1;
            prevFirst = static_cast<TVN_DWORD>(code);
            old = static_cast<TVN_DWORD>(code);
            state = HaveOldCode;
            continue;
        }

        for (;;) {
            TVN_DWORD length, first;
            const TVN_DWORD c = static_cast<TVN_DWORD>(code);
            if (c < next && c - clear > 1) {
                // A colour index or a known entry (clear and end excluded).
                const unsigned long long p = place[c];
                length = static_cast<TVN_DWORD>(p >> 32) & 0xFFFF;
                first = static_cast<TVN_DWORD>(p >> 48);
                if (outEnd - count < length) break;
                copyString(lead + count, lead + static_cast<TVN_DWORD>(p), length);
            } else if (c == next) {
                // The entry this code is about to define: the previous string and its first character.
                length = prevLen + 1;
                first = prevFirst;
                if (outEnd - count < length) break;
                copyString(lead + count, lead + prevStart, prevLen);
                lead[count + prevLen] = static_cast<unsigned short>(first);
            } else {
                break;
            }
            if (next < gif::kTableEntries) {
                prefix[next] = static_cast<unsigned short>(old);
                suffix[next] = static_cast<unsigned short>(first);
                place[next] = placeOf(prevStart, prevLen + 1, prevFirst);
                if (++next == limit && limit < gif::kTableEntries) {
                    ++codeSize;
                    mask = mask * 2 + 1;
                    limit *= 2;
                }
            }
            prevStart = count;
            prevLen = length;
            prevFirst = first;
            count += length;
            old = c;
            code = readCode();
            if (code < 0) return -1;
        }

        // Left the loop at a clear code, an end code, a code beyond the table, or a
        // string that does not fit.
        if (static_cast<TVN_DWORD>(code) == clear) {
            restartAfterClear();
            continue;
        }
        save();
        return static_cast<TVN_DWORD>(code) == end ? -1 : code;
    }
}

} // namespace tvn::codecs
