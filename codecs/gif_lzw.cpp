// LZW decoder of the GIF reader: tables, bit reader, sub-blocks and the plain
// reference decode loop (strings expanded through the prefix chain on a stack).
// gif_lzw_fast.cpp holds the loop that copies strings instead.
#include "codecs/gif_lzw.h"

#include <cstring>

#include "codecs/gif_format.h"
#include "pixel/cpu_features.h"
#include "pixel/module_start.h"
#include "platform/platform.h"

namespace tvn::codecs {

namespace {
// Two carried bytes, up to 255 new ones, and room for the four-byte loads of the
// bit reader past the last valid byte.
const TVN_DWORD kBlockBytes = 2 + 255 + 15;
// A string is at most one character per table entry, plus the character a code
// that is not yet in the table appends.
const TVN_DWORD kStackEntries = gif::kTableEntries + 2;
// The file is read in chunks; what was read beyond the image data is given back.
const TVN_DWORD kAheadBytes = 16384;
// Codes above 12 bits would index beyond the tables: a larger minimum code size
// is refused as damaged data.
const unsigned kMaxMinCodeSize = 11;
} // namespace

CGifLzwDecoder::CGifLzwDecoder()
    : m_pPrefix(nullptr), m_pSuffix(nullptr), m_pBlock(nullptr), m_pStack(nullptr), m_pPlace(nullptr),
      m_pAhead(nullptr), m_hFile(INVALID_HANDLE_VALUE), m_dwAheadPos(0), m_dwAheadLen(0), m_byInitCodeSize(0),
      m_byCodeSize(0), m_bySubBlockLength(0), m_wMask(0), m_wClear(0), m_wEnd(0), m_wFirstFree(0), m_wLimit(0),
      m_wNext(0), m_nBitPos(0), m_nValid(0), m_bEnd(false), m_pOut(nullptr), m_dwCount(0), m_dwCapacity(0),
      m_state(NoOldCode), m_wOld(0), m_wFirst(0), m_dwPrevStart(0), m_dwPrevLen(0) {
    m_prefixBlock.reset(pixel::heapAllocOrThrow(gif::kTableEntries, 2, 1, 1));
    m_suffixBlock.reset(pixel::heapAllocOrThrow(gif::kTableEntries, 2, 1, 1));
    m_blockBuffer.reset(pixel::heapAllocOrThrow(kBlockBytes, 1, 1, 1));
    const TVN_DWORD workBytes = gif::kTableEntries * 8 + kStackEntries * 2 + kAheadBytes;
    m_workBlock.reset(pixel::heapAllocOrThrow(workBytes, 1, 1, 0));
    m_pPrefix = m_prefixBlock.as<unsigned short>();
    m_pSuffix = m_suffixBlock.as<unsigned short>();
    m_pBlock = m_blockBuffer.as<unsigned char>();
    unsigned char* work = m_workBlock.as<unsigned char>();
    m_pPlace = reinterpret_cast<unsigned long long*>(work);
    m_pStack = reinterpret_cast<unsigned short*>(work + gif::kTableEntries * 8);
    m_pAhead = reinterpret_cast<unsigned char*>(m_pStack + kStackEntries);
}

TVN_DWORD CGifLzwDecoder::readAhead(unsigned char* dst, TVN_DWORD size) {
    TVN_DWORD done = 0;
    while (done < size) {
        if (m_dwAheadPos == m_dwAheadLen) {
            TVN_DWORD got = 0;
            if (!plat::fileRead(m_hFile, m_pAhead, kAheadBytes, &got)) got = 0;
            m_dwAheadPos = 0;
            m_dwAheadLen = got;
            if (got == 0) break;
        }
        TVN_DWORD n = m_dwAheadLen - m_dwAheadPos;
        if (n > size - done) n = size - done;
        std::memcpy(dst + done, m_pAhead + m_dwAheadPos, n);
        m_dwAheadPos += n;
        done += n;
    }
    return done;
}

void CGifLzwDecoder::giveBackReadAhead() {
    TVN_DWORD unread = m_dwAheadLen - m_dwAheadPos;
    m_dwAheadPos = m_dwAheadLen = 0;
    if (unread && !plat::fileSeek(m_hFile, -static_cast<long>(unread), plat::SeekCurrent, nullptr))
        pixel::throwMessage(pixel::Msg::FileDamaged);
}

void CGifLzwDecoder::start() {
    unsigned char minCodeSize = 0;
    if (readAhead(&minCodeSize, 1) != 1) pixel::throwMessage(pixel::Msg::FileDamaged);
    if (minCodeSize > kMaxMinCodeSize) pixel::throwMessage(pixel::Msg::FileDamaged);
    m_byInitCodeSize = static_cast<unsigned char>(minCodeSize + 1);
    m_nBitPos = 16;
    m_nValid = 2;
    m_bEnd = false;
    reset();
    m_state = NoOldCode;
}

void CGifLzwDecoder::reset() {
    m_byCodeSize = m_byInitCodeSize;
    m_wMask = static_cast<unsigned short>((1u << m_byCodeSize) - 1);
    m_wClear = static_cast<unsigned short>(1u << (m_byCodeSize - 1));
    m_wEnd = static_cast<unsigned short>(m_wClear + 1);
    m_wFirstFree = static_cast<unsigned short>(m_wClear + 2);
    m_wLimit = static_cast<unsigned short>(1u << m_byCodeSize);
    // The table is cleared by forgetting its entries: an entry at or above the next
    // code reads as prefix 0, suffix 0, exactly what clearing would have left.
    m_wNext = m_wFirstFree;
}

bool CGifLzwDecoder::nextSubBlock() {
    if (readAhead(&m_bySubBlockLength, 1) != 1) pixel::throwMessage(pixel::Msg::FileDamaged);
    if (m_bySubBlockLength == 0) return false;
    m_pBlock[0] = m_pBlock[m_nValid - 2];
    m_pBlock[1] = m_pBlock[m_nValid - 1];
    TVN_DWORD got = readAhead(m_pBlock + 2, m_bySubBlockLength);
    if (got < m_bySubBlockLength) m_bEnd = true;
    m_nBitPos -= 8 * m_nValid - 16;
    m_nValid = static_cast<int>(got) + 2;
    return true;
}

// The sub-block is changed as soon as a code would end on its last bit, so a code
// that does end there is lost when the data stop after it (a property of the
// format as this library has always read it).
//
// A code is never made of bytes the data do not hold: when the new sub-block is
// too short for it (a one-byte sub-block under wide codes, or data cut off), the
// next one is fetched, or there is no code when the data have ended.
int CGifLzwDecoder::refillAndReadCode() {
    do {
        if (m_bEnd || !nextSubBlock()) return -1;
    } while (m_nBitPos + m_byCodeSize > 8 * m_nValid);
    const unsigned char* p = m_pBlock + (m_nBitPos >> 3);
    TVN_DWORD bits = p[0] | (TVN_DWORD(p[1]) << 8) | (TVN_DWORD(p[2]) << 16);
    int code = static_cast<int>((bits >> (m_nBitPos & 7)) & m_wMask);
    m_nBitPos += m_byCodeSize;
    return code;
}

int CGifLzwDecoder::nextCode() {
    if (m_nBitPos + m_byCodeSize > 8 * m_nValid - 1) return refillAndReadCode();
    const unsigned char* p = m_pBlock + (m_nBitPos >> 3);
    TVN_DWORD bits = p[0] | (TVN_DWORD(p[1]) << 8) | (TVN_DWORD(p[2]) << 16);
    int code = static_cast<int>((bits >> (m_nBitPos & 7)) & m_wMask);
    m_nBitPos += m_byCodeSize;
    return code;
}

void CGifLzwDecoder::startString(int code) {
    if (m_dwCount < m_dwCapacity) m_pOut[m_dwCount++] = static_cast<unsigned short>(code);
    m_wOld = static_cast<unsigned short>(code);
    m_wFirst = static_cast<unsigned short>(code);
    m_state = HaveOldCode;
}

void CGifLzwDecoder::addEntry(unsigned short first) {
    if (m_wNext >= gif::kTableEntries) return;
    m_pPrefix[m_wNext] = m_wOld;
    m_pSuffix[m_wNext] = first;
    ++m_wNext;
    if (m_wNext == m_wLimit && m_wLimit < gif::kTableEntries) {
        ++m_byCodeSize;
        m_wMask = static_cast<unsigned short>(m_wMask * 2 + 1);
        m_wLimit = static_cast<unsigned short>(m_wLimit * 2);
    }
}

void CGifLzwDecoder::runReference(int code) {
    for (;; code = nextCode()) {
        if (code < 0) return;
        if (code == m_wClear) {
            reset();
            m_state = AfterClear;
            continue;
        }
        // The first code after a clear is stored as it is, whatever it is.
        if (m_state == AfterClear) {
            startString(code);
            continue;
        }
        if (code == m_wEnd) return;
        // Data that do not begin with a clear code: the first code is taken as
        // if one had come before it (there is no previous code to extend).
        if (m_state == NoOldCode) {
            startString(code);
            continue;
        }
        TVN_DWORD sp = 0;
        TVN_DWORD x = static_cast<TVN_DWORD>(code);
        if (x >= m_wNext) {
            m_pStack[sp++] = m_wFirst;
            x = m_wOld;
        }
        while (x >= m_wFirstFree) {
            // A chain longer than the table can only be a cycle.
            if (sp >= gif::kTableEntries) pixel::throwMessage(pixel::Msg::FileDamaged);
            const bool defined = x < m_wNext;
            m_pStack[sp++] = defined ? m_pSuffix[x] : 0;
            TVN_DWORD prefix = defined ? m_pPrefix[x] : 0;
            if (prefix == x) pixel::throwMessage(pixel::Msg::FileDamaged);
            x = prefix;
        }
        m_pStack[sp++] = static_cast<unsigned short>(x);
        TVN_DWORD room = m_dwCapacity - m_dwCount;
        TVN_DWORD n = sp < room ? sp : room;
        for (TVN_DWORD i = 0; i < n; ++i) m_pOut[m_dwCount + i] = m_pStack[sp - 1 - i];
        m_dwCount += n;
        const unsigned short first = static_cast<unsigned short>(x);
        addEntry(first);
        m_wOld = static_cast<unsigned short>(code);
        m_wFirst = first;
    }
}

TVN_DWORD CGifLzwDecoder::decodeImage(HANDLE file, unsigned short* indices, TVN_DWORD capacity) {
    m_hFile = file;
    m_dwAheadPos = m_dwAheadLen = 0;
    m_pOut = indices;
    m_dwCount = 0;
    m_dwCapacity = capacity;
    start();
    if (nextSubBlock()) {
        int code = pixel::cpu::referenceOnly() ? nextCode() : runFast();
        if (code >= 0) runReference(code);
    }
    giveBackReadAhead();
    return m_dwCount;
}

} // namespace tvn::codecs
