// Mode 3, the mask file: not available yet, so it reports that the mask could
// not be used and leaves the picture as it is.
#include "tivorn/image.h"

int CRGBAImage::setTransparencyByMask() {
    return 0;
}
