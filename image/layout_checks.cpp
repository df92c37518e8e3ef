// The exported records are part of the binary interface: hosts allocate images
// by value and pass IMG_TRANSP by reference. On the 32-bit DLL their layout is
// fixed; these checks fail the build if it ever moves.
#include <cstddef>

#include "image/image_access.h"

namespace {
using A = tvn::ImageAccess;
constexpr bool k32 = sizeof(void*) == 4;

static_assert(sizeof(IMG_TRANSP) == 20, "IMG_TRANSP is 20 bytes");
static_assert(offsetof(IMG_TRANSP, byMode) == 0 && offsetof(IMG_TRANSP, byConstTransp) == 1 &&
                  offsetof(IMG_TRANSP, byLGTop) == 2 && offsetof(IMG_TRANSP, byLGLeft) == 3 &&
                  offsetof(IMG_TRANSP, byLGRight) == 4 && offsetof(IMG_TRANSP, byLGBottom) == 5 &&
                  offsetof(IMG_TRANSP, byEllCenter) == 6 && offsetof(IMG_TRANSP, byEllBorder) == 7 &&
                  offsetof(IMG_TRANSP, clrChromakey) == 8 && offsetof(IMG_TRANSP, bChromakeySoft) == 12 &&
                  offsetof(IMG_TRANSP, dwChromakeyDev) == 16,
              "IMG_TRANSP field order");

static_assert(!k32 || (A::kOffsetBuffer == 0 && A::kOffsetOrigBuffer == 4 && A::kOffsetSavedAlpha == 8 &&
                       A::kOffsetWidth == 12 && A::kOffsetHeightOrig == 24 && A::kOffsetFileName == 28 &&
                       A::kOffsetMaskFileName == 32 && A::kOffsetContainsAlpha == 36 &&
                       A::kOffsetReadFile == 40 && A::kOffsetReadBuf == 44 && A::kOffsetReadLast == 556 &&
                       A::kOffsetReadNext == 560 && A::kOffsetTransp == 564 && A::kOffsetBlur == 584 &&
                       A::kOffsetFilter == 588),
              "CRGBAImage field layout of the 32-bit DLL");
static_assert(!k32 || sizeof(CRGBAImage) == 592, "CRGBAImage is 592 bytes on the 32-bit DLL");
static_assert(sizeof(TVN_DWORD) == 4, "pixel words are 32 bits");
} // namespace
