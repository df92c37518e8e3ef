// Canonical-Huffman inflate in the manner of the format's own reference decoder:
// codes decoded bit by bit through per-length counts, which is plenty for tests.
#include "zlib_inflate.h"

#include <cstddef>

namespace tvntest {

namespace {

struct Huffman {
    short count[16];
    short symbol[288];
};

class Inflater {
public:
    Inflater(const std::vector<unsigned char>& in, std::vector<unsigned char>* out) : m_in(in), m_out(*out) {}

    bool run() {
        if (m_in.size() < 6 || (m_in[0] & 0x0F) != 8 || ((m_in[0] << 8) | m_in[1]) % 31 != 0) return false;
        m_pos = 2;
        int last = 0;
        do {
            last = bits(1);
            int type = bits(2);
            bool ok = type == 0 ? stored() : type == 1 ? fixed() : type == 2 ? dynamic() : false;
            if (!ok || m_bad) return false;
        } while (!last);
        return true;
    }

private:
    int bits(int need) {
        long v = m_bitBuf;
        while (m_bitCount < need) {
            if (m_pos >= m_in.size()) {
                m_bad = true;
                return 0;
            }
            v |= long(m_in[m_pos++]) << m_bitCount;
            m_bitCount += 8;
        }
        m_bitBuf = v >> need;
        m_bitCount -= need;
        return static_cast<int>(v & ((1L << need) - 1));
    }

    bool stored() {
        m_bitBuf = 0;
        m_bitCount = 0;
        if (m_pos + 4 > m_in.size()) return false;
        unsigned len = m_in[m_pos] | (m_in[m_pos + 1] << 8);
        unsigned nlen = m_in[m_pos + 2] | (m_in[m_pos + 3] << 8);
        m_pos += 4;
        if (len != (~nlen & 0xFFFFu) || m_pos + len > m_in.size()) return false;
        m_out.insert(m_out.end(), m_in.begin() + static_cast<std::ptrdiff_t>(m_pos),
                     m_in.begin() + static_cast<std::ptrdiff_t>(m_pos + len));
        m_pos += len;
        return true;
    }

    int decode(const Huffman& h) {
        int code = 0, first = 0, index = 0;
        for (int len = 1; len < 16; ++len) {
            code |= bits(1);
            int count = h.count[len];
            if (code - count < first) return h.symbol[index + (code - first)];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
            if (m_bad) return -1;
        }
        return -1;
    }

    static bool build(Huffman* h, const short* lengths, int n) {
        for (short& c : h->count) c = 0;
        for (int i = 0; i < n; ++i) h->count[lengths[i]]++;
        h->count[0] = 0;
        short offs[16];
        offs[1] = 0;
        for (int len = 1; len < 15; ++len) offs[len + 1] = static_cast<short>(offs[len] + h->count[len]);
        for (int i = 0; i < n; ++i)
            if (lengths[i]) h->symbol[offs[lengths[i]]++] = static_cast<short>(i);
        return true;
    }

    bool codes(const Huffman& lit, const Huffman& dist) {
        static const short lbase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                        31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const short lext[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static const short dbase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                        33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        static const short dext[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                       6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
        for (;;) {
            int sym = decode(lit);
            if (sym < 0 || m_bad) return false;
            if (sym < 256) {
                m_out.push_back(static_cast<unsigned char>(sym));
            } else if (sym == 256) {
                return true;
            } else {
                sym -= 257;
                if (sym >= 29) return false;
                std::size_t len = static_cast<std::size_t>(lbase[sym] + bits(lext[sym]));
                int d = decode(dist);
                if (d < 0 || d >= 30) return false;
                std::size_t back = static_cast<std::size_t>(dbase[d] + bits(dext[d]));
                if (back > m_out.size()) return false;
                for (std::size_t i = 0; i < len; ++i) m_out.push_back(m_out[m_out.size() - back]);
            }
        }
    }

    bool fixed() {
        short lengths[320];
        int i = 0;
        for (; i < 144; ++i) lengths[i] = 8;
        for (; i < 256; ++i) lengths[i] = 9;
        for (; i < 280; ++i) lengths[i] = 7;
        for (; i < 288; ++i) lengths[i] = 8;
        for (; i < 320; ++i) lengths[i] = 5;
        Huffman lit, dist;
        build(&lit, lengths, 288);
        build(&dist, lengths + 288, 30);
        return codes(lit, dist);
    }

    bool dynamic() {
        static const short order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        int nlen = bits(5) + 257, ndist = bits(5) + 1, ncode = bits(4) + 4;
        if (nlen > 286 || ndist > 30) return false;
        short lengths[320] = {0};
        for (int i = 0; i < ncode; ++i) lengths[order[i]] = static_cast<short>(bits(3));
        Huffman lencode, lit, dist;
        build(&lencode, lengths, 19);
        int index = 0;
        while (index < nlen + ndist) {
            int sym = decode(lencode);
            if (sym < 0 || m_bad) return false;
            if (sym < 16) {
                lengths[index++] = static_cast<short>(sym);
                continue;
            }
            short len = 0;
            int repeat;
            if (sym == 16) {
                if (index == 0) return false;
                len = lengths[index - 1];
                repeat = 3 + bits(2);
            } else {
                repeat = sym == 17 ? 3 + bits(3) : 11 + bits(7);
            }
            if (index + repeat > nlen + ndist) return false;
            while (repeat--) lengths[index++] = len;
        }
        build(&lit, lengths, nlen);
        build(&dist, lengths + nlen, ndist);
        return codes(lit, dist);
    }

    const std::vector<unsigned char>& m_in;
    std::vector<unsigned char>& m_out;
    std::size_t m_pos = 0;
    long m_bitBuf = 0;
    int m_bitCount = 0;
    bool m_bad = false;
};

} // namespace

bool zlibInflate(const std::vector<unsigned char>& in, std::vector<unsigned char>* out) {
    out->clear();
    return Inflater(in, out).run();
}

} // namespace tvntest
