// The vector blur. Sums stay in 16-bit lanes (the box is at most 255 wide, so a
// sum is at most 255 * 255), and the quotient by d is a multiply-high with a
// multiplier proven exact for every sum that can occur.
#include <algorithm>
#include <cstring>

#include "resample/blur.h"
#include "resample/passes.h"
#include "pixel/bands.h"
#include "pixel/heap.h"
#include "resample/simd.h"

namespace tvn::resample {

namespace {
const TVN_DWORD kBlock = 16;

// (s * mult) >> (16 + shift) == s / d for every s in 0 .. 255 * d. The quotient
// is non-decreasing in s, so it is right everywhere when it is right on both
// sides of every multiple of d.
bool divisor(unsigned d, std::uint32_t* mult, unsigned* shift) {
    for (unsigned sh = 0; sh <= 8; ++sh) {
        const std::uint32_t m = ((1u << (16 + sh)) + d - 1) / d;
        if (m > 0xFFFF) break;
        bool ok = true;
        for (std::uint32_t q = 0; q <= 255 && ok; ++q) {
            const std::uint32_t s = q * d;
            ok = ((s * m) >> (16 + sh)) == q && (q == 0 || (((s - 1) * m) >> (16 + sh)) == q - 1);
        }
        const std::uint32_t top = 255 * d;
        ok = ok && ((top * m) >> (16 + sh)) == 255;
        if (ok) {
            *mult = m;
            *shift = sh;
            return true;
        }
    }
    return false;
}
} // namespace

namespace {
const TVN_DWORD kRowsPerPiece = 16;                         // one block of rows
const TVN_DWORD kColumnsPerPiece = kBlock * simd::kMaxBoxUnits; // one strip

struct BlurShape {
    const TVN_DWORD* src;
    TVN_DWORD* dst;
    TVN_DWORD width, height, k, W, H;
    unsigned d;
    std::uint32_t mult;
    unsigned shift;
    std::size_t stride; // bytes per row of dst
};

// Scratch of one thread: a block of rows in column order, its blurred columns
// (or the right-edge unit of the vertical pass), and the running sums' ring.
struct BlurScratch {
    pixel::HeapBlock in, out, ring;
    bool take(std::size_t inBytes, std::size_t outBytes, unsigned d) {
        if (inBytes) in.reset(pixel::heapAlloc(inBytes));
        if (outBytes) out.reset(pixel::heapAlloc(outBytes));
        ring.reset(pixel::heapAlloc(static_cast<std::size_t>(d) * simd::kMaxBoxUnits * 64));
        return (!inBytes || in.get()) && (!outBytes || out.get()) && ring.get();
    }
};

// Rows: blocks of 16 in column order; a piece's last block overlaps the one
// before it when the piece is not a multiple of 16 rows. A block is blurred in
// segments of output columns, each from the 2k input columns before it on (the
// sums start afresh there and are whole by the segment's first column), so
// that its scratch stays in the processor's own cache.
class BlurRows : public pixel::BandWork {
public:
    BlurRows(const pixel::LineBands& bands, const simd::Ops& ops, const BlurShape& s, BlurScratch& callers)
        : m_bands(bands), m_ops(ops), m_s(s), m_callers(callers),
          m_segment(std::max<TVN_DWORD>(kSegment, 8 * s.k)) {}
    std::size_t inBytes() const { return static_cast<std::size_t>(std::min(m_s.width, m_segment + 2 * m_s.k)) * 64; }
    std::size_t outBytes() const { return static_cast<std::size_t>(std::min(m_s.W, m_segment + 2 * m_s.k)) * 64; }

    void serve(pixel::BandCursor& cursor) override {
        BlurScratch own;
        BlurScratch* scratch = &m_callers;
        if (!cursor.onCaller()) {
            if (!own.take(inBytes(), outBytes(), m_s.d)) return; // the others do this thread's share
            scratch = &own;
        }
        unsigned piece;
        while (cursor.next(&piece)) {
            const TVN_DWORD end = m_bands.end(piece);
            for (TVN_DWORD y = m_bands.first(piece); y < end; y += kBlock) {
                const TVN_DWORD top = y + kBlock <= end ? y : end - kBlock;
                for (TVN_DWORD a = 0; a < m_s.W; a += m_segment) blurSegment(*scratch, top, a);
            }
        }
    }

private:
    static constexpr TVN_DWORD kSegment = 512;

    // Output columns a .. a + segment - 1 of the 16 rows from `top`.
    void blurSegment(BlurScratch& scratch, TVN_DWORD top, TVN_DWORD a) const {
        const TVN_DWORD b = std::min(a + m_segment, m_s.W), twoK = 2 * m_s.k;
        const TVN_DWORD first = a > twoK ? a - twoK : 0; // first input column read
        const TVN_DWORD count = std::min(b, m_s.width) - first;
        TVN_DWORD* in = scratch.in.as<TVN_DWORD>();
        TVN_DWORD* out = scratch.out.as<TVN_DWORD>();
        rowsToColumns(&m_ops, m_s.src + static_cast<std::size_t>(top) * m_s.width + first, m_s.width, count, in);
        const simd::BoxJob job = {scratch.in.as<unsigned char>(), 64, count, scratch.out.as<unsigned char>(), 64,
                                  b - first, m_s.d, m_s.mult, m_s.shift, 1, scratch.ring.as<unsigned char>()};
        m_ops.boxRun(job);
        columnsToRows(&m_ops, out + static_cast<std::size_t>(a - first) * kBlock, b - a,
                      m_s.dst + static_cast<std::size_t>(top + m_s.k) * m_s.W + a, m_s.W);
    }

private:
    const pixel::LineBands& m_bands;
    const simd::Ops& m_ops;
    const BlurShape& m_s;
    BlurScratch& m_callers;
    const TVN_DWORD m_segment;
};

// Columns, in place: strips of up to 64 columns (whole units of 16) over the
// columns up to the last whole unit. The columns past it come from a unit that
// ends at the right edge; the piece holding the last strip computes that unit
// into `edge` scratch first, while its input is still untouched (it overlaps
// that strip only), and copies its last columns in after the strip.
class BlurColumns : public pixel::BandWork {
public:
    BlurColumns(const pixel::LineBands& bands, const simd::Ops& ops, const BlurShape& s, BlurScratch& callers,
                unsigned char* edge)
        : m_bands(bands), m_ops(ops), m_s(s), m_callers(callers), m_edge(edge) {}

    void serve(pixel::BandCursor& cursor) override {
        BlurScratch own;
        BlurScratch* scratch = &m_callers;
        if (!cursor.onCaller()) {
            if (!own.take(0, 0, m_s.d)) return;
            scratch = &own;
        }
        unsigned char* const ring = scratch->ring.as<unsigned char>();
        unsigned char* const bytes = reinterpret_cast<unsigned char*>(m_s.dst);
        const std::size_t stride = m_s.stride, firstRow = static_cast<std::size_t>(m_s.k) * stride;
        const TVN_DWORD whole = m_s.W / kBlock * kBlock;
        unsigned piece;
        while (cursor.next(&piece)) {
            const bool last = piece + 1 == m_bands.pieces() && whole < m_s.W;
            if (last) {
                const simd::BoxJob job = {bytes + firstRow + (m_s.W - kBlock) * 4, stride, m_s.height, m_edge, 64,
                                          m_s.H, m_s.d, m_s.mult, m_s.shift, 1, ring};
                m_ops.boxRun(job);
            }
            for (TVN_DWORD x = m_bands.first(piece); x < m_bands.end(piece);) {
                const TVN_DWORD left = (m_bands.end(piece) - x) / kBlock;
                const unsigned units = left < simd::kMaxBoxUnits ? left : simd::kMaxBoxUnits;
                const simd::BoxJob job = {bytes + firstRow + x * 4, stride, m_s.height, bytes + x * 4, stride, m_s.H,
                                          m_s.d, m_s.mult, m_s.shift, units, ring};
                m_ops.boxRun(job);
                x += units * kBlock;
            }
            if (last) {
                const TVN_DWORD first = whole - (m_s.W - kBlock); // position of column `whole` in the unit
                for (TVN_DWORD y = 0; y < m_s.H; ++y)
                    std::memcpy(bytes + y * stride + whole * 4, m_edge + y * 64 + first * 4, (m_s.W - whole) * 4);
            }
        }
    }

private:
    const pixel::LineBands& m_bands;
    const simd::Ops& m_ops;
    const BlurShape& m_s;
    BlurScratch& m_callers;
    unsigned char* const m_edge;
};
} // namespace

bool boxBlurFast(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned int k) {
    const simd::Ops* ops = simd::select();
    const unsigned d = 2 * k + 1;
    const TVN_DWORD W = width + 2 * k, H = height + 2 * k;
    if (!ops || k == 0 || d > simd::kMaxBoxWidth || height < kBlock || W < kBlock) return false;
    BlurShape s = {src, dst, width, height, k, W, H, d, 0, 0, static_cast<std::size_t>(W) * 4};
    if (!divisor(d, &s.mult, &s.shift)) return false;
    // The calling thread's scratch, and the right-edge unit's, before any band starts.
    const pixel::LineBands rows(height, kRowsPerPiece, kBlock);
    const TVN_DWORD whole = W / kBlock * kBlock;
    const pixel::LineBands columns(whole, kColumnsPerPiece, kBlock);
    BlurScratch callers;
    BlurRows rowWork(rows, *ops, s, callers);
    pixel::HeapBlock edge(whole < W ? pixel::heapAlloc(static_cast<std::size_t>(H) * 64) : nullptr);
    if (!callers.take(rowWork.inBytes(), rowWork.outBytes(), d) || (whole < W && !edge.get())) return false;
    pixel::runBands(rowWork, rows.pieces(), pixel::helpersFor(pixel::BandCost::Blur, static_cast<double>(W) * height));
    BlurColumns columnWork(columns, *ops, s, callers, edge.as<unsigned char>());
    pixel::runBands(columnWork, columns.pieces(), pixel::helpersFor(pixel::BandCost::Blur, static_cast<double>(W) * H));
    return true;
}

} // namespace tvn::resample
