// The fast decode loop of the GIF LZW decoder. Every string it produces already
// lies in the index buffer: a table entry is the previous string plus one
// character, and both sit side by side in the output. So each entry keeps the
// place and length of its string, and a code is decoded by copying that range,
// with no walk along the prefix chain. The prefix and suffix tables are still
// kept, so that the reference loop can take over at any code.
//
// Hand-over to the reference loop (which drops what exceeds the capacity and
// reports damaged chains) happens for everything this loop does not model: a
// string that would not fit, a code beyond the next free one, and a first code
// that is not a plain colour index.
#include "gif_lzw.h"

#include <cstring>

#include "gif_format.h"

namespace tvn {

namespace {
// Copies n entries in chunks of eight; may write up to seven entries beyond
// dst + n. The source string always ends at or before dst, so every chunk reads
// its meaningful entries before anything overwrites them.
inline void copyString(unsigned short* dst, const unsigned short* src, TVN_DWORD n) {
    for (TVN_DWORD i = 0; i < n; i += 8) std::memmove(dst + i, src + i, 16);
}

inline TVN_DWORD load24(const unsigned char* p) {
    return p[0] | (TVN_DWORD(p[1]) << 8) | (TVN_DWORD(p[2]) << 16);
}
} // namespace

int CGifLzwDecoder::runFast() {
    unsigned short* const out = m_pOut;
    unsigned short* const prefix = m_pPrefix;
    unsigned short* const suffix = m_pSuffix;
    TVN_DWORD* const stringPos = m_pStringPos;
    unsigned short* const stringLen = m_pStringLen;
    const unsigned char* const block = m_pBlock;
    const TVN_DWORD capacity = m_dwCapacity;
    const TVN_DWORD clear = m_wClear;
    const TVN_DWORD end = m_wEnd;

    TVN_DWORD count = m_dwCount;
    int bitPos = m_nBitPos;
    int bitLimit = 8 * m_nValid - 1;
    int codeSize = m_byCodeSize;
    TVN_DWORD mask = m_wMask;
    TVN_DWORD next = m_wNext;
    TVN_DWORD limit = m_wLimit;
    TVN_DWORD old = m_wOld;
    TVN_DWORD prevStart = m_dwPrevStart;
    TVN_DWORD prevLen = m_dwPrevLen;
    State state = m_state;

    auto save = [&]() {
        m_dwCount = count;
        m_nBitPos = bitPos;
        m_byCodeSize = static_cast<unsigned char>(codeSize);
        m_wMask = static_cast<unsigned short>(mask);
        m_wNext = static_cast<unsigned short>(next);
        m_wLimit = static_cast<unsigned short>(limit);
        m_wOld = static_cast<unsigned short>(old);
        m_dwPrevStart = prevStart;
        m_dwPrevLen = prevLen;
        m_state = state;
        if (state == HaveOldCode) m_wFirst = out[prevStart];
    };

    TVN_DWORD code;
    for (;;) {
        if (bitPos + codeSize > bitLimit) {
            save();
            int c = refillAndReadCode();
            if (c < 0) return -1;
            code = static_cast<TVN_DWORD>(c);
            bitPos = m_nBitPos;
            bitLimit = 8 * m_nValid - 1;
        } else {
            code = (load24(block + (bitPos >> 3)) >> (bitPos & 7)) & mask;
            bitPos += codeSize;
        }

        if (code == clear) {
            save();
            reset();
            codeSize = m_byCodeSize;
            mask = m_wMask;
            next = m_wNext;
            limit = m_wLimit;
            state = AfterClear;
            continue;
        }
        if (state != HaveOldCode) {
            if (state == NoOldCode && code == end) {
                save();
                return -1;
            }
            if (code < clear && count < capacity) {
                out[count] = static_cast<unsigned short>(code);
                prevStart = count++;
                prevLen = 1;
                old = code;
                state = HaveOldCode;
                continue;
            }
            save();
            return static_cast<int>(code);
        }
        if (code == end) {
            save();
            return -1;
        }

        TVN_DWORD length;
        if (code < clear) {
            if (count >= capacity) break;
            out[count] = static_cast<unsigned short>(code);
            length = 1;
        } else if (code < next) {
            length = stringLen[code];
            if (capacity - count < length) break;
            copyString(out + count, out + stringPos[code], length);
        } else if (code == next) {
            length = prevLen + 1;
            if (capacity - count < length) break;
            copyString(out + count, out + prevStart, prevLen);
            out[count + prevLen] = out[prevStart];
        } else {
            break;
        }

        if (next < gif::kTableEntries) {
            prefix[next] = static_cast<unsigned short>(old);
            suffix[next] = out[count];
            stringPos[next] = prevStart;
            stringLen[next] = static_cast<unsigned short>(prevLen + 1);
            ++next;
            if (next == limit && limit < gif::kTableEntries) {
                ++codeSize;
                mask = mask * 2 + 1;
                limit *= 2;
            }
        }
        prevStart = count;
        prevLen = length;
        count += length;
        old = code;
    }
    // A code the reference loop decodes from the unchanged state.
    save();
    return static_cast<int>(code);
}

} // namespace tvn
