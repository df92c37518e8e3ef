// Run-length packing of the untouched picture into the stream that the
// run-length constructor decodes. Rows are packed one by one, bottom row first,
// and no packet crosses a row end.
#include "tivorn/image.h"
#include "image/rle_scan.h"
#include "pixel/rows.h"
#include "pixel/heap.h"

#include <algorithm>

namespace {

const std::size_t kPacketPixels = 128;

class RowPacker {
public:
    RowPacker(const tvn::image::rle::ScanKernels& k, tvn::pixel::rows::FromWords bigEndian, unsigned char* out)
        : m_k(k), m_bigEndian(bigEndian), m_out(out) {}

    // A run is a stretch of equal pixels longer than two, or of two that ends the
    // row; everything else goes out as literals.
    void packRow(const TVN_DWORD* p, std::size_t w) {
        std::size_t literalStart = 0, from = 0;
        while (from < w) {
            const std::size_t start = m_k.findPair(p, from, w);
            if (start >= w) break;
            const std::size_t end = m_k.runEnd(p, start, w);
            if (end - start > 2 || end == w) {
                literals(p + literalStart, start - literalStart);
                run(p[start], end - start);
                literalStart = end;
            }
            from = end;
        }
        literals(p + literalStart, w - literalStart);
    }

    unsigned char* end() const { return m_out; }

private:
    void literals(const TVN_DWORD* p, std::size_t n) {
        while (n) {
            const std::size_t k = std::min(n, kPacketPixels);
            *m_out++ = static_cast<unsigned char>(k - 1);
            m_bigEndian(p, m_out, k);
            m_out += 4 * k;
            p += k;
            n -= k;
        }
    }

    void run(TVN_DWORD pel, std::size_t n) {
        while (n) {
            const std::size_t k = std::min(n, kPacketPixels);
            m_out[0] = static_cast<unsigned char>(0x80 | (k - 1));
            m_out[1] = tvnGetAValue(pel);
            m_out[2] = tvnGetBValue(pel);
            m_out[3] = tvnGetGValue(pel);
            m_out[4] = tvnGetRValue(pel);
            m_out += 5;
            n -= k;
        }
    }

    const tvn::image::rle::ScanKernels& m_k;
    const tvn::pixel::rows::FromWords m_bigEndian;
    unsigned char* m_out;
};

} // namespace

TVN_DWORD CRGBAImage::compressRLE(unsigned char** packed) {
    // The untouched picture at the original size. Without an untouched copy the
    // current picture is it; after a stretch its rows are wider, and the original
    // count of words is taken in buffer order, which they always hold.
    const TVN_DWORD* src = m_pOrigBuffer ? m_pOrigBuffer : m_pBuffer;
    const TVN_DWORD w = m_dwWidthOrig, h = m_dwHeightOrig;
    if (!packed || !src || w == 0 || h == 0) return 0;
    const unsigned long long held = static_cast<unsigned long long>(m_dwWidth) * m_dwHeight;
    if (!m_pOrigBuffer && held < static_cast<unsigned long long>(w) * h) return 0; // never read past the picture

    // Worst case: all literals, 4 bytes a pixel plus a header per 128 pixels. Runs
    // never cost more than the literals they replace, even with the headers of the
    // literal stretches around them. The length must fit the 32-bit result.
    const TVN_DWORD rowWorst = static_cast<TVN_DWORD>(
        std::min<unsigned long long>(4ull * w + (w + kPacketPixels - 1) / kPacketPixels, 0xFFFFFFFFull));
    std::size_t bytes = 0;
    if (rowWorst == 0xFFFFFFFFu || !tvn::pixel::checkedSize(rowWorst, h, 1, &bytes)) return 0;
    unsigned char* work = static_cast<unsigned char*>(tvn::pixel::heapAlloc(bytes));
    if (!work) return 0;

    RowPacker packer(tvn::image::rle::scanKernels(), tvn::pixel::rows::rowKernels().wordsToBigEndian, work);
    for (TVN_DWORD y = 0; y < h; ++y) packer.packRow(src + static_cast<std::size_t>(y) * w, w);
    const std::size_t used = static_cast<std::size_t>(packer.end() - work);

    // Shrinking cannot really fail, but a refusal keeps the larger block.
    unsigned char* shrunk = static_cast<unsigned char*>(tvn::pixel::heapRealloc(work, used));
    *packed = shrunk ? shrunk : work;
    return static_cast<TVN_DWORD>(used);
}

void CRGBAImage::freeRLEBuffer(unsigned char* packed) {
    tvn::pixel::heapFree(packed);
}
