// 24-bit rows to pixel words: a byte shuffle per four pixels where the processor
// has one (SSSE3), the plain loop otherwise and for the last pixels of a row.
#include "bgr_rows.h"

#include "pixel/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TVN_BGR_SHUFFLE 1
#endif

namespace tvn {

void bgrRowToPixelsReference(const unsigned char* src, TVN_DWORD* dst, TVN_DWORD width) {
    for (TVN_DWORD x = 0; x < width; ++x, src += 3)
        dst[x] = 0xFF000000u | (TVN_DWORD(src[0]) << 16) | (TVN_DWORD(src[1]) << 8) | src[2];
}

#ifdef TVN_BGR_SHUFFLE
namespace {
__attribute__((target("ssse3"))) void bgrRowToPixelsShuffle(const unsigned char* src, TVN_DWORD* dst, TVN_DWORD width) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    TVN_DWORD x = 0;
    // Each step loads 16 bytes for 12: stop while that stays inside the row.
    for (; x + 6 <= width; x += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
        v = _mm_or_si128(_mm_shuffle_epi8(v, order), alpha);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), v);
    }
    bgrRowToPixelsReference(src + 3 * x, dst + x, width - x);
}
} // namespace
#endif

void bgrRowToPixels(const unsigned char* src, TVN_DWORD* dst, TVN_DWORD width) {
#ifdef TVN_BGR_SHUFFLE
    // SSE4.1 processors all have SSSE3.
    if (cpu::hasSse41()) {
        bgrRowToPixelsShuffle(src, dst, width);
        return;
    }
#endif
    bgrRowToPixelsReference(src, dst, width);
}

} // namespace tvn
