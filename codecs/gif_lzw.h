// The LZW decoder of the GIF reader: variable code size up to 12 bits, fixed
// 4096-entry tables, and a bit reader over the data sub-blocks that carries the
// last two bytes of a sub-block over to the next.
#ifndef TIVORN_GIF_LZW_H
#define TIVORN_GIF_LZW_H

#include "pixel/heap.h"
#include "tivorn/types.h"

namespace tvn::codecs {

class CGifLzwDecoder {
public:
    // Index buffers handed to decodeImage need kIndexLead entries of room before
    // them (the fast loop keeps one string per colour index there) and kIndexSlack
    // entries beyond their capacity (strings are copied in whole chunks).
    static const TVN_DWORD kIndexLead = 4096;
    static const TVN_DWORD kIndexSlack = 16;

    CGifLzwDecoder(); // throws message 1
    CGifLzwDecoder(const CGifLzwDecoder&) = delete;
    CGifLzwDecoder& operator=(const CGifLzwDecoder&) = delete;

    // Decodes the data of one image (minimum code size byte and sub-blocks) from
    // file into indices, storing at most capacity of them; returns how many were
    // stored. The file is left just behind the last byte the decoder consumed.
    // Throws message 2 for missing length bytes and self-referring strings.
    TVN_DWORD decodeImage(HANDLE file, unsigned short* indices, TVN_DWORD capacity);

private:
    enum State { NoOldCode, AfterClear, HaveOldCode };

    void start();
    void reset();
    int nextCode();
    int refillAndReadCode();
    bool nextSubBlock();
    TVN_DWORD readAhead(unsigned char* dst, TVN_DWORD size);
    void giveBackReadAhead();

    int runFast();
    void runReference(int code);
    void startString(int code);
    void addEntry(unsigned short first);

    pixel::HeapBlock m_prefixBlock;
    pixel::HeapBlock m_suffixBlock;
    pixel::HeapBlock m_blockBuffer;
    pixel::HeapBlock m_workBlock; // string stack, string places and the read-ahead buffer

    unsigned short* m_pPrefix;
    unsigned short* m_pSuffix;
    unsigned char* m_pBlock;
    unsigned short* m_pStack;
    unsigned long long* m_pPlace; // the fast loop's strings: start | length << 32
    unsigned char* m_pAhead;

    HANDLE m_hFile;
    TVN_DWORD m_dwAheadPos;
    TVN_DWORD m_dwAheadLen;

    unsigned char m_byInitCodeSize;
    unsigned char m_byCodeSize;
    unsigned char m_bySubBlockLength;
    unsigned short m_wMask;
    unsigned short m_wClear;
    unsigned short m_wEnd;
    unsigned short m_wFirstFree;
    unsigned short m_wLimit;
    unsigned short m_wNext;
    int m_nBitPos;
    int m_nValid;
    bool m_bEnd;

    // The output, the previous code and, for the fast loop, where its string lies
    // (counted from kIndexLead entries before the output).
    unsigned short* m_pOut;
    TVN_DWORD m_dwCount;
    TVN_DWORD m_dwCapacity;
    State m_state;
    unsigned short m_wOld;
    unsigned short m_wFirst;
    TVN_DWORD m_dwPrevStart;
    TVN_DWORD m_dwPrevLen;
};

} // namespace tvn::codecs

#endif
