#include "resample/passes.h"

#include "pixel/bands.h"
#include "pixel/heap.h"
#include "resample/plan.h"

namespace tvn::resample {

namespace {
const TVN_DWORD kBlock = 16;           // rows per horizontal block, columns per unit
const TVN_DWORD kRowsPerPiece = 16;    // one horizontal block
const TVN_DWORD kColumnsPerPiece = 64; // one vertical block

struct PlanGuard {
    ScalePlan plan{};
    ~PlanGuard() { releasePlan(&plan); }
};

// The work of a pass that every serving thread shares, and its progress on the
// calling thread: lines are reported as the pieces holding them are taken.
class PassWork : public pixel::BandWork {
public:
    PassWork(const pixel::LineBands& bands, const ScalerProgress& progress, TVN_DWORD lines, bool columns)
        : m_bands(bands), m_progress(progress), m_lines(lines), m_columns(columns), m_reported(0) {}

    bool taken(unsigned taken) override {
        if (!m_progress.proc) return true;
        const TVN_DWORD upTo = taken ? m_bands.end(taken - 1) : 0;
        for (; m_reported < upTo; ++m_reported) {
            const bool go = m_columns ? m_progress.column(m_reported, m_lines) : m_progress.row(m_reported, m_lines);
            if (!go) return false;
        }
        return true;
    }

protected:
    const pixel::LineBands& m_bands;

private:
    const ScalerProgress& m_progress;
    const TVN_DWORD m_lines;
    const bool m_columns;
    TVN_DWORD m_reported;
};

// Horizontal pass: every destination row from its own source row. The vector
// path turns blocks of 16 rows into column order, so that every destination
// column of the block is a weighted sum of whole 64-byte units; a piece's last
// block overlaps the one before it when the piece is not a multiple of 16 rows
// (the rows it computes again come out the same, and stay in the piece).
class HorizontalWork : public PassWork {
public:
    HorizontalWork(const pixel::LineBands& bands, const ScalerProgress& progress, const TVN_DWORD* src,
                   TVN_DWORD* dst, TVN_DWORD srcWidth, TVN_DWORD dstWidth, TVN_DWORD height,
                   const WEIGHT_TABLE& table)
        : PassWork(bands, progress, height, false), m_src(src), m_dst(dst), m_srcWidth(srcWidth),
          m_dstWidth(dstWidth), m_table(table), m_ops(nullptr), m_plan(nullptr), m_in(nullptr), m_out(nullptr) {}

    // The vector path, with the caller's scratch; false when memory is short.
    bool useVectors(const simd::Ops* ops, const ScalePlan* plan, pixel::HeapBlock* in, pixel::HeapBlock* out) {
        m_ops = ops;
        m_plan = plan;
        if (!scratch(in, out)) return false;
        m_in = in->as<TVN_DWORD>();
        m_out = out->as<TVN_DWORD>();
        return true;
    }

    void serve(pixel::BandCursor& cursor) override {
        pixel::HeapBlock ownIn, ownOut;
        TVN_DWORD *in = m_in, *out = m_out;
        if (m_ops && !cursor.onCaller()) {
            if (!scratch(&ownIn, &ownOut)) return; // the others do this thread's share
            in = ownIn.as<TVN_DWORD>();
            out = ownOut.as<TVN_DWORD>();
        }
        unsigned piece;
        while (cursor.next(&piece)) {
            const TVN_DWORD first = m_bands.first(piece), end = m_bands.end(piece);
            if (m_ops) vectorRows(first, end, in, out);
            else referenceRows(first, end);
        }
    }

private:
    bool scratch(pixel::HeapBlock* in, pixel::HeapBlock* out) const {
        std::size_t inBytes = 0, outBytes = 0;
        if (!pixel::checkedSize(m_srcWidth, kBlock, 4, &inBytes) ||
            !pixel::checkedSize(m_dstWidth, kBlock, 4, &outBytes))
            return false;
        in->reset(pixel::heapAlloc(inBytes));
        out->reset(pixel::heapAlloc(outBytes));
        return in->get() && out->get();
    }

    void vectorRows(TVN_DWORD first, TVN_DWORD end, TVN_DWORD* in, TVN_DWORD* out) const {
        const std::size_t unit = 0;
        const simd::CombineJob job = {reinterpret_cast<unsigned char*>(in), kBlock * 4, m_plan, 0, m_dstWidth,
                                      reinterpret_cast<unsigned char*>(out), kBlock * 4, &unit, 1};
        for (TVN_DWORD y = first; y < end; y += kBlock) {
            const TVN_DWORD top = y + kBlock <= end ? y : end - kBlock;
            rowsToColumns(m_ops, m_src + static_cast<std::size_t>(top) * m_srcWidth, m_srcWidth, m_srcWidth, in);
            m_ops->combine(job);
            columnsToRows(m_ops, out, m_dstWidth, m_dst + static_cast<std::size_t>(top) * m_dstWidth, m_dstWidth);
        }
    }

    void referenceRows(TVN_DWORD first, TVN_DWORD end) const {
        for (TVN_DWORD y = first; y < end; ++y) {
            const TVN_DWORD* in = m_src + static_cast<std::size_t>(y) * m_srcWidth;
            TVN_DWORD* out = m_dst + static_cast<std::size_t>(y) * m_dstWidth;
            for (TVN_DWORD x = 0; x < m_dstWidth; ++x) out[x] = applySpan(in, 1, m_table.pSpans[x]);
        }
    }

    const TVN_DWORD* m_src;
    TVN_DWORD* m_dst;
    const TVN_DWORD m_srcWidth, m_dstWidth;
    const WEIGHT_TABLE& m_table;
    const simd::Ops* m_ops;
    const ScalePlan* m_plan;
    TVN_DWORD *m_in, *m_out;
};

// Vertical pass: every destination column from its own intermediate column.
// The vector path computes a piece destination row by destination row, so that
// every source row is read as whole runs of 16 pixels; a piece's last unit
// overlaps the one before it when the piece is not a multiple of 16 columns.
class VerticalWork : public PassWork {
public:
    VerticalWork(const pixel::LineBands& bands, const ScalerProgress& progress, const TVN_DWORD* src, TVN_DWORD* dst,
                 TVN_DWORD width, TVN_DWORD dstHeight, const WEIGHT_TABLE& table, const simd::Ops* ops,
                 const ScalePlan* plan)
        : PassWork(bands, progress, width, true), m_src(src), m_dst(dst), m_width(width), m_dstHeight(dstHeight),
          m_table(table), m_ops(ops), m_plan(plan) {}

    void serve(pixel::BandCursor& cursor) override {
        unsigned piece;
        while (cursor.next(&piece)) {
            const TVN_DWORD first = m_bands.first(piece), end = m_bands.end(piece);
            if (m_ops) vectorColumns(first, end);
            else referenceColumns(first, end);
        }
    }

private:
    void vectorColumns(TVN_DWORD first, TVN_DWORD end) const {
        const std::size_t stride = static_cast<std::size_t>(m_width) * 4;
        const unsigned char* base = reinterpret_cast<const unsigned char*>(m_src);
        unsigned char* out = reinterpret_cast<unsigned char*>(m_dst);
        for (TVN_DWORD x = first; x < end; x += kColumnsPerPiece) {
            const TVN_DWORD stop = end - x > kColumnsPerPiece ? x + kColumnsPerPiece : end;
            std::size_t units[kColumnsPerPiece / kBlock];
            unsigned n = 0;
            for (TVN_DWORD u = x; u < stop; u += kBlock)
                units[n++] = static_cast<std::size_t>(u + kBlock <= stop ? u : stop - kBlock) * 4;
            const simd::CombineJob job = {base, stride, m_plan, 0, m_dstHeight, out, stride, units, n};
            m_ops->combine(job);
        }
    }

    void referenceColumns(TVN_DWORD first, TVN_DWORD end) const {
        for (TVN_DWORD x = first; x < end; ++x)
            for (TVN_DWORD y = 0; y < m_dstHeight; ++y)
                m_dst[static_cast<std::size_t>(y) * m_width + x] = applySpan(m_src + x, m_width, m_table.pSpans[y]);
    }

    const TVN_DWORD* m_src;
    TVN_DWORD* m_dst;
    const TVN_DWORD m_width, m_dstHeight;
    const WEIGHT_TABLE& m_table;
    const simd::Ops* m_ops;
    const ScalePlan* m_plan;
};

double passWork(TVN_DWORD samplesAcross, TVN_DWORD lines, const WEIGHT_TABLE& table) {
    return static_cast<double>(samplesAcross) * lines * table.nMaxTaps;
}
} // namespace

void rowsToColumns(const simd::Ops* ops, const TVN_DWORD* rows, std::size_t stride, TVN_DWORD width,
                   TVN_DWORD* cols) {
    TVN_DWORD x = 0;
    if (ops)
        for (; x + kBlock <= width; x += kBlock) ops->transpose16(rows + x, stride, cols + x * kBlock, kBlock);
    for (; x < width; ++x)
        for (TVN_DWORD r = 0; r < kBlock; ++r) cols[x * kBlock + r] = rows[r * stride + x];
}

void columnsToRows(const simd::Ops* ops, const TVN_DWORD* cols, TVN_DWORD width, TVN_DWORD* rows,
                   std::size_t stride) {
    TVN_DWORD x = 0;
    if (ops)
        for (; x + kBlock <= width; x += kBlock) ops->transpose16(cols + x * kBlock, kBlock, rows + x, stride);
    for (; x < width; ++x)
        for (TVN_DWORD r = 0; r < kBlock; ++r) rows[r * stride + x] = cols[x * kBlock + r];
}

// The vector path needs a whole block of 16 rows; its plan and the caller's
// scratch are made before any band starts, so a shortage fails the pass at once.
bool horizontalPass(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD srcWidth, TVN_DWORD dstWidth, TVN_DWORD height,
                    const WEIGHT_TABLE& table, const ScalerProgress& progress) {
    const simd::Ops* ops = simd::select();
    if (height < kBlock) ops = nullptr;
    const pixel::LineBands bands(height, kRowsPerPiece, ops ? kBlock : 1);
    HorizontalWork work(bands, progress, src, dst, srcWidth, dstWidth, height, table);
    PlanGuard guard;
    pixel::HeapBlock in, out;
    if (ops && (!buildPlan(table, kBlock * 4, &guard.plan) || !work.useVectors(ops, &guard.plan, &in, &out)))
        return false;
    return pixel::runBands(work, bands.pieces(),
                           pixel::helpersFor(pixel::BandCost::Resample, passWork(dstWidth, height, table)));
}

bool verticalPass(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD srcHeight, TVN_DWORD dstHeight,
                  const WEIGHT_TABLE& table, const ScalerProgress& progress) {
    (void)srcHeight;
    const simd::Ops* ops = simd::select();
    if (width < kBlock) ops = nullptr;
    const pixel::LineBands bands(width, kColumnsPerPiece, ops ? kBlock : 1);
    PlanGuard guard;
    if (ops && !buildPlan(table, static_cast<std::size_t>(width) * 4, &guard.plan)) return false;
    VerticalWork work(bands, progress, src, dst, width, dstHeight, table, ops, ops ? &guard.plan : nullptr);
    return pixel::runBands(work, bands.pieces(),
                           pixel::helpersFor(pixel::BandCost::Resample, passWork(width, dstHeight, table)));
}

} // namespace tvn::resample
