#include "alpha_frame.h"

#include "image/image_access.h"
#include "resample/rebuild.h"

namespace tvn {
namespace alpha {

using A = ImageAccess;

bool beginAlphaMode(CRGBAImage& image, AlphaTarget* target) {
    if (!A::buffer(image)) return false;
    image.saveAlpha();
    if (!A::savedAlpha(image)) return false;
    if (A::origBuffer(image)) {
        *target = {A::origBuffer(image), A::widthOrig(image), A::heightOrig(image), true};
    } else {
        *target = {A::buffer(image), A::width(image), A::height(image), false};
    }
    return true;
}

void endAlphaMode(CRGBAImage& image, const AlphaTarget& target) {
    if (target.original) bilinearRebuild(image);
}

bool modeRan(CRGBAImage& image) {
    return !A::buffer(image) || A::savedAlpha(image);
}

} // namespace alpha
} // namespace tvn
