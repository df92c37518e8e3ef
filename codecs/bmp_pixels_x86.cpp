// Vector paths of the row converters: one byte shuffle per 16 output bytes puts
// red, green and blue in word order and an OR sets the alpha byte when the file
// has none. They never read past the last byte of the last pixel they convert.
#include "bmp_pixels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace tvn {
namespace px {
namespace simd {

bool available() { return true; }

namespace {
// Output byte k of each word takes input byte index k (-1 gives 0).
#define TVN_BGR_SHUFFLE 2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1
#define TVN_BGRX_SHUFFLE 2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1
#define TVN_BGRA_SHUFFLE 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15
} // namespace

__attribute__((target("ssse3"))) std::size_t bgrToWordsSsse3(const unsigned char* src, TVN_DWORD* dst,
                                                             std::size_t count) {
    const __m128i shuffle = _mm_setr_epi8(TVN_BGR_SHUFFLE);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    // Four pixels use 12 of the 16 bytes loaded: stop while 16 remain.
    for (; (i + 4) * 3 + 4 <= count * 3; i += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_shuffle_epi8(v, shuffle), alpha));
    }
    return i;
}

__attribute__((target("avx2"))) std::size_t bgrToWordsAvx2(const unsigned char* src, TVN_DWORD* dst,
                                                           std::size_t count) {
    const __m256i shuffle = _mm256_setr_epi8(TVN_BGR_SHUFFLE, TVN_BGR_SHUFFLE);
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    // Eight pixels from two 16-byte loads 12 bytes apart (28 bytes read, 24 used).
    for (; (i + 8) * 3 + 4 <= count * 3; i += 8) {
        const unsigned char* s = src + i * 3;
        __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 12));
        __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                            _mm256_or_si256(_mm256_shuffle_epi8(v, shuffle), alpha));
    }
    return i;
}

__attribute__((target("ssse3"))) std::size_t shuffle4Ssse3(const unsigned char* src, TVN_DWORD* dst,
                                                           std::size_t count, bool keepAlpha) {
    const __m128i shuffle = keepAlpha ? _mm_setr_epi8(TVN_BGRA_SHUFFLE) : _mm_setr_epi8(TVN_BGRX_SHUFFLE);
    const __m128i alpha = _mm_set1_epi32(keepAlpha ? 0 : static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_shuffle_epi8(v, shuffle), alpha));
    }
    return i;
}

__attribute__((target("avx2"))) std::size_t shuffle4Avx2(const unsigned char* src, TVN_DWORD* dst,
                                                         std::size_t count, bool keepAlpha) {
    const __m256i shuffle = keepAlpha ? _mm256_setr_epi8(TVN_BGRA_SHUFFLE, TVN_BGRA_SHUFFLE)
                                      : _mm256_setr_epi8(TVN_BGRX_SHUFFLE, TVN_BGRX_SHUFFLE);
    const __m256i alpha = _mm256_set1_epi32(keepAlpha ? 0 : static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i * 4));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                            _mm256_or_si256(_mm256_shuffle_epi8(v, shuffle), alpha));
    }
    return i;
}

} // namespace simd
} // namespace px
} // namespace tvn

#else

namespace tvn {
namespace px {
namespace simd {
bool available() { return false; }
std::size_t bgrToWordsSsse3(const unsigned char*, TVN_DWORD*, std::size_t) { return 0; }
std::size_t bgrToWordsAvx2(const unsigned char*, TVN_DWORD*, std::size_t) { return 0; }
std::size_t shuffle4Ssse3(const unsigned char*, TVN_DWORD*, std::size_t, bool) { return 0; }
std::size_t shuffle4Avx2(const unsigned char*, TVN_DWORD*, std::size_t, bool) { return 0; }
} // namespace simd
} // namespace px
} // namespace tvn

#endif
