// The vector blur. Sums stay in 16-bit lanes (the box is at most 255 wide, so a
// sum is at most 255 * 255), and the quotient by d is a multiply-high with a
// multiplier proven exact for every sum that can occur.
#include <cstring>

#include "resample/blur.h"
#include "resample/passes.h"
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

bool boxBlurFast(const TVN_DWORD* src, TVN_DWORD* dst, TVN_DWORD width, TVN_DWORD height, unsigned int k) {
    const simd::Ops* ops = simd::select();
    const unsigned d = 2 * k + 1;
    const TVN_DWORD W = width + 2 * k, H = height + 2 * k;
    if (!ops || k == 0 || d > simd::kMaxBoxWidth || height < kBlock || W < kBlock) return false;
    std::uint32_t mult = 0;
    unsigned shift = 0;
    if (!divisor(d, &mult, &shift)) return false;
    // Column-order scratch of a block of rows, and of one vertical strip.
    pixel::HeapBlock in(pixel::heapAlloc(static_cast<std::size_t>(width) * 64));
    pixel::HeapBlock out(pixel::heapAlloc(static_cast<std::size_t>(W > H ? W : H) * 64));
    pixel::HeapBlock ring(pixel::heapAlloc(static_cast<std::size_t>(d) * simd::kMaxBoxUnits * 64));
    if (!in.get() || !out.get() || !ring.get()) return false;
    unsigned char* const keep = ring.as<unsigned char>();
    unsigned char* const bytes = reinterpret_cast<unsigned char*>(dst);
    const std::size_t stride = static_cast<std::size_t>(W) * 4;

    // Rows: blocks of 16 in column order; the last block overlaps the one before.
    for (TVN_DWORD y = 0; y < height; y += kBlock) {
        const TVN_DWORD top = y + kBlock <= height ? y : height - kBlock;
        rowsToColumns(src + static_cast<std::size_t>(top) * width, width, width, in.as<TVN_DWORD>());
        simd::BoxJob job = {in.as<unsigned char>(), 64, width, out.as<unsigned char>(), 64, W, d, mult, shift, 1, keep};
        ops->boxRun(job);
        columnsToRows(out.as<TVN_DWORD>(), W, dst + static_cast<std::size_t>(top + k) * W, W);
    }

    // Columns, in place: strips of up to 64 columns (whole units of 16). The
    // columns past the last whole unit are taken from a unit ending at the right
    // edge, computed first into scratch while its input is still untouched.
    const TVN_DWORD whole = W / kBlock * kBlock;
    if (whole < W) {
        simd::BoxJob job = {bytes + static_cast<std::size_t>(k) * stride + (W - kBlock) * 4, stride, height,
                            out.as<unsigned char>(), 64, H, d, mult, shift, 1, keep};
        ops->boxRun(job);
    }
    for (TVN_DWORD x = 0; x < whole;) {
        const unsigned units = (whole - x) / kBlock < simd::kMaxBoxUnits ? (whole - x) / kBlock : simd::kMaxBoxUnits;
        simd::BoxJob job = {bytes + static_cast<std::size_t>(k) * stride + x * 4, stride, height, bytes + x * 4, stride,
                            H, d, mult, shift, units, keep};
        ops->boxRun(job);
        x += units * kBlock;
    }
    if (whole < W) {
        const TVN_DWORD first = whole - (W - kBlock); // position of column `whole` in the strip
        for (TVN_DWORD y = 0; y < H; ++y)
            std::memcpy(bytes + y * stride + whole * 4, out.as<unsigned char>() + y * 64 + first * 4,
                        (W - whole) * 4);
    }
    return true;
}

} // namespace tvn::resample
