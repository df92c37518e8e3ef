// A picture as the subsystems hold it: pixel words in rows, bottom row first,
// row stride = width words, no padding. Readers decode into a DECODED_PICTURE,
// the scaler resamples plane to plane, the transparency modes write planes;
// only the image object knows which of its buffers a plane stands for.
#ifndef TIVORN_PIXEL_PLANE_H
#define TIVORN_PIXEL_PLANE_H

#include <cstddef>

#include "tivorn/types.h"

namespace tvn::pixel {

struct PIXEL_PLANE {
    TVN_DWORD* pWords; // width x height words, or null
    TVN_DWORD dwWidth;
    TVN_DWORD dwHeight;

    std::size_t count() const { return static_cast<std::size_t>(dwWidth) * dwHeight; }
};

// What a reader hands over: a plane it allocated (the receiver frees it with
// heapFree) and whether the file gave the pixels their own alpha.
struct DECODED_PICTURE {
    PIXEL_PLANE plane;
    int bContainsAlpha;
};

// Words for a width x height plane from the checked heap (which lays large blocks
// out for huge pages); null when the size does not fit in 32 bits or memory is short.
TVN_DWORD* allocPixels(TVN_DWORD width, TVN_DWORD height);

// Owns a decoded plane until it is taken, so a thrown message frees it.
class DecodedHolder {
public:
    explicit DecodedHolder(DECODED_PICTURE* decoded) : m_p(decoded) { *m_p = DECODED_PICTURE(); }
    ~DecodedHolder();
    DecodedHolder(const DecodedHolder&) = delete;
    DecodedHolder& operator=(const DecodedHolder&) = delete;
    // Replaces the words (the previous ones are freed) and sets the size.
    void reset(TVN_DWORD* words, TVN_DWORD width, TVN_DWORD height);
    // The decode succeeded: the caller owns the plane from now on.
    void keep() { m_p = nullptr; }

private:
    DECODED_PICTURE* m_p;
};

// Mirrors each row in place (pixel x with width - 1 - x).
void mirrorRows(TVN_DWORD* data, std::size_t width, std::size_t height);
void mirrorRows(unsigned char* data, std::size_t width, std::size_t height);
// Exchanges row y with row height - 1 - y in place.
void exchangeRows(TVN_DWORD* data, std::size_t width, std::size_t height);
void exchangeRows(unsigned char* data, std::size_t width, std::size_t height);

} // namespace tvn::pixel

#endif
