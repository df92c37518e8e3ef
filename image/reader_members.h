// What the image's reader members and load share: the image's read-ahead as the
// TGA decoder's view, and a decoded picture made the current picture.
#ifndef TIVORN_IMAGE_READER_MEMBERS_H
#define TIVORN_IMAGE_READER_MEMBERS_H

#include "codecs/decoders.h"
#include "image/image_access.h"

namespace tvn::image {

inline codecs::READ_AHEAD readAheadOf(CRGBAImage& image) {
    return {ImageAccess::readFile(image), ImageAccess::readBuf(image), ImageAccess::readLast(image),
            ImageAccess::readNext(image)};
}

// The decoded plane replaces the current picture and its size, and sets the
// own-alpha flag; the untouched copy and the saved alpha are not touched.
void takePicture(CRGBAImage& image, pixel::DECODED_PICTURE& decoded);

// takePicture after releasing the untouched copy and the saved alpha: the new
// picture is its own original, at both sizes.
void replacePicture(CRGBAImage& image, pixel::DECODED_PICTURE& decoded);

} // namespace tvn::image

#endif
