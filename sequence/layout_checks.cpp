// Hosts derive from CRGBAVideo and allocate sets by value: on the 32-bit DLL the
// layout of both classes is part of the binary interface. These checks fail the
// build if it ever moves.
#include <cstddef>

#include "tivorn/video.h"

#pragma GCC diagnostic ignored "-Winvalid-offsetof"

namespace tvn {
struct VideoLayout {
    static constexpr bool k32 = sizeof(void*) == 4;
    static_assert(!k32 || (offsetof(CRGBAVideo, m_nCurFrame) == 4 && offsetof(CRGBAVideo, m_nKeepBehind) == 8 &&
                           offsetof(CRGBAVideo, m_nKeepAhead) == 12 &&
                           offsetof(CRGBAVideo, m_pfnPreloadCallback) == 16 &&
                           offsetof(CRGBAVideo, m_pPreloadParam) == 20),
                  "CRGBAVideo: the virtual table pointer, then the five fields in order");
    static_assert(!k32 || sizeof(CRGBAVideo) == 24, "CRGBAVideo is 24 bytes on the 32-bit DLL");
    static_assert(!k32 || offsetof(CRGBAImageSet, m_vecFrames) == 24, "the frame slots follow the base");
    static_assert(!k32 || sizeof(CRGBAImageSet) == 36, "CRGBAImageSet is 36 bytes on the 32-bit DLL");
    static_assert(sizeof(unsigned int) == 4, "frame counts are 32 bits");
};
} // namespace tvn
