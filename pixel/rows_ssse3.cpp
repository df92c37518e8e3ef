// SSSE3 row kernels: one byte shuffle per 16 bytes puts the channels in order.
// None reads or writes past the last pixel of its row.
#include "pixel/rows.h"

#ifdef TVN_X86
#include <immintrin.h>

#include "pixel/rows_shuffles.h"

#define TVN_SSSE3 __attribute__((target("ssse3")))

namespace tvn::pixel {
namespace rows {

namespace {

TVN_SSSE3 inline __m128i load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}
TVN_SSSE3 inline void store(void* p, __m128i v) {
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

TVN_SSSE3 void bgrToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    const __m128i shuffle = _mm_setr_epi8(TVN_BGR_TO_WORDS);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    // Four pixels use 12 of the 16 bytes loaded: stop while 16 remain.
    for (; (i + 4) * 3 + 4 <= count * 3; i += 4)
        store(dst + i, _mm_or_si128(_mm_shuffle_epi8(load(src + i * 3), shuffle), alpha));
    reference::bgrToWords(src + i * 3, dst + i, count - i);
}

TVN_SSSE3 void bgrxToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    const __m128i shuffle = _mm_setr_epi8(TVN_BGRX_TO_WORDS);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) store(dst + i, _mm_or_si128(_mm_shuffle_epi8(load(src + i * 4), shuffle), alpha));
    reference::bgrxToWords(src + i * 4, dst + i, count - i);
}

TVN_SSSE3 void bgraToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t count) {
    const __m128i shuffle = _mm_setr_epi8(TVN_SWAP_RB);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) store(dst + i, _mm_shuffle_epi8(load(src + i * 4), shuffle));
    reference::bgraToWords(src + i * 4, dst + i, count - i);
}

// Sixteen pixels become 48 bytes: each group of four is shuffled to 12 bytes and
// the four groups are joined into three whole stores.
TVN_SSSE3 void wordsToBgr(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m128i shuf = _mm_setr_epi8(TVN_WORDS_TO_BGR);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16, dst += 48) {
        const __m128i a = _mm_shuffle_epi8(load(src + i), shuf);
        const __m128i b = _mm_shuffle_epi8(load(src + i + 4), shuf);
        const __m128i c = _mm_shuffle_epi8(load(src + i + 8), shuf);
        const __m128i d = _mm_shuffle_epi8(load(src + i + 12), shuf);
        store(dst, _mm_or_si128(a, _mm_slli_si128(b, 12)));
        store(dst + 16, _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        store(dst + 32, _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    reference::wordsToBgr(src + i, dst, n - i);
}

TVN_SSSE3 void wordsToBigEndian(const TVN_DWORD* src, unsigned char* dst, std::size_t n) {
    const __m128i shuf = _mm_setr_epi8(TVN_BYTE_SWAP);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(dst + 4 * i, _mm_shuffle_epi8(load(src + i), shuf));
    reference::wordsToBigEndian(src + i, dst + 4 * i, n - i);
}

TVN_SSSE3 void bigEndianToWords(const unsigned char* src, TVN_DWORD* dst, std::size_t n) {
    const __m128i shuf = _mm_setr_epi8(TVN_BYTE_SWAP);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store(dst + i, _mm_shuffle_epi8(load(src + 4 * i), shuf));
    reference::bigEndianToWords(src + 4 * i, dst + i, n - i);
}

} // namespace

void addSsse3(RowKernels& k) {
    k.bgrToWords = bgrToWords;
    k.bgrxToWords = bgrxToWords;
    k.bgraToWords = bgraToWords;
    k.wordsToBgr = wordsToBgr;
    k.wordsToBigEndian = wordsToBigEndian;
    k.bigEndianToWords = bigEndianToWords;
}

} // namespace rows
} // namespace tvn::pixel

#endif
