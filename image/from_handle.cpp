// Taking over a bitmap handle. Nothing changes on any failure.
#include "image/reader_members.h"

int CRGBAImage::fromHandle(HBITMAP bitmap) {
    tvn::pixel::DECODED_PICTURE decoded;
    if (!tvn::codecs::decodeBitmapHandle(bitmap, &decoded)) return 0;
    tvn::image::replacePicture(*this, decoded);
    return 1;
}
