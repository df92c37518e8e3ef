// Bands of lines (rows or columns) for the worker pool: how a loop over lines is
// cut into pieces, and how much work it takes before helpers pay for themselves.
#ifndef TIVORN_PIXEL_BANDS_H
#define TIVORN_PIXEL_BANDS_H

#include <cstddef>

#include "pixel/worker_pool.h"
#include "tivorn/types.h"

namespace tvn::pixel {

// `count` lines cut into pieces of `grain` lines. A last piece shorter than
// `minimum` joins the one before it, so that no piece is shorter than `minimum`
// unless the whole is: vector blocks that overlap their neighbour to reach the
// end then stay inside one piece, and no two threads write the same line.
class LineBands {
public:
    LineBands(TVN_DWORD count, TVN_DWORD grain, TVN_DWORD minimum);
    unsigned pieces() const { return m_pieces; }
    TVN_DWORD first(unsigned piece) const { return piece * m_grain; }
    TVN_DWORD end(unsigned piece) const { return piece + 1 >= m_pieces ? m_count : (piece + 1) * m_grain; }

private:
    TVN_DWORD m_count, m_grain;
    unsigned m_pieces;
};

// Kinds of work, by what one item costs on one thread (bands.cpp has the
// figures): an operation's amount is counted in its kind's items.
enum class BandCost {
    Resample,  // a sample times the taps of its span, in one pass of the scaler
    Blur,      // a pixel written by one pass of the box blur
    Nearest,   // a pixel of a nearest-pixel copy
    AlphaCopy, // a pixel of constant alpha, of alpha copied in or out, of a mask
    Gradient,  // a pixel of the linear gradient
    Ellipse,   // a pixel of the ellipse
    Chromakey  // a pixel keyed
};

// Pool threads worth asking to help with `amount` items of a kind: none while
// the work would take one thread less than the threshold, then one more for
// every further threshold's worth.
unsigned helpersFor(BandCost kind, double amount);

// Runs body(first, end) for every piece of bands, through the pool when the
// work is worth it. Nothing stops it; it returns when every piece is done.
template <class Body>
void forEachBand(const LineBands& bands, BandCost kind, double amount, Body body) {
    struct Work : BandWork {
        const LineBands& bands;
        Body& body;
        Work(const LineBands& b, Body& f) : bands(b), body(f) {}
        void serve(BandCursor& cursor) override {
            unsigned piece;
            while (cursor.next(&piece)) body(bands.first(piece), bands.end(piece));
        }
    } work(bands, body);
    runBands(work, bands.pieces(), helpersFor(kind, amount));
}

// Runs body(first, end) over [0, count) in pieces of `grain` items (words or
// bytes of a plane), through the pool when the work is worth it.
template <class Body>
void forEachSpan(std::size_t count, std::size_t grain, BandCost kind, Body body) {
    const std::size_t pieces = grain ? (count + grain - 1) / grain : 0;
    if (pieces > 0xFFFFFFFFu) return body(std::size_t(0), count); // more than any plane holds
    const LineBands bands(static_cast<TVN_DWORD>(pieces), 1, 1);
    forEachBand(bands, kind, static_cast<double>(count), [&](TVN_DWORD first, TVN_DWORD end) {
        const std::size_t from = static_cast<std::size_t>(first) * grain, to = static_cast<std::size_t>(end) * grain;
        body(from, to < count ? to : count);
    });
}

} // namespace tvn::pixel

#endif
