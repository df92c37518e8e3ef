// The C interface's records are part of the binary interface on every build, and
// each mirrors a class record byte for byte (the C functions copy one into the
// other). These checks fail the build if either ever moves.
#include <cstddef>

#include "tivorn.h"

namespace {
constexpr bool k32 = sizeof(void*) == 4;

static_assert(sizeof(tvn_transparency) == sizeof(IMG_TRANSP) && sizeof(tvn_transparency) == 20,
              "tvn_transparency is IMG_TRANSP's 20 bytes");
static_assert(offsetof(tvn_transparency, mode) == offsetof(IMG_TRANSP, byMode) &&
                  offsetof(tvn_transparency, const_transp) == offsetof(IMG_TRANSP, byConstTransp) &&
                  offsetof(tvn_transparency, linear_top) == offsetof(IMG_TRANSP, byLGTop) &&
                  offsetof(tvn_transparency, linear_left) == offsetof(IMG_TRANSP, byLGLeft) &&
                  offsetof(tvn_transparency, linear_right) == offsetof(IMG_TRANSP, byLGRight) &&
                  offsetof(tvn_transparency, linear_bottom) == offsetof(IMG_TRANSP, byLGBottom) &&
                  offsetof(tvn_transparency, ellipse_center) == offsetof(IMG_TRANSP, byEllCenter) &&
                  offsetof(tvn_transparency, ellipse_border) == offsetof(IMG_TRANSP, byEllBorder) &&
                  offsetof(tvn_transparency, chromakey_color) == 8 &&
                  offsetof(tvn_transparency, chromakey_soft) == 12 &&
                  offsetof(tvn_transparency, chromakey_deviation) == 16,
              "tvn_transparency field order");
static_assert(offsetof(tvn_cache_entry, file_name) == 0 &&
                  offsetof(tvn_cache_entry, frame_count) == sizeof(void*) &&
                  sizeof(tvn_cache_entry) == (k32 ? 8 : 16),
              "tvn_cache_entry: a pointer, then the frame count");
static_assert(sizeof(tvn_status) == 4 && sizeof(TVN_DWORD) == 4, "statuses and words are 32 bits");
} // namespace
