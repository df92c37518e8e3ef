// The cache's exported records are part of the binary interface of the 32-bit DLL:
// hosts read KAC_ENTRY_INFO and hold reader-writers by value.
#include <cstddef>

#include "tivorn/cache.h"

namespace {
constexpr bool k32 = sizeof(void*) == 4;

static_assert(offsetof(KAC_ENTRY_INFO, pszFileName) == 0, "KAC_ENTRY_INFO starts with the name");
static_assert(!k32 || (sizeof(KAC_ENTRY_INFO) == 8 && offsetof(KAC_ENTRY_INFO, nNumFrames) == 4),
              "KAC_ENTRY_INFO on the 32-bit DLL: name pointer, then the frame count");
// The virtual table pointer, then m_pHandleTable.
static_assert(!k32 || sizeof(CKACReaderWriter) == 8, "CKACReaderWriter is 8 bytes on the 32-bit DLL");
static_assert(sizeof(CKACReaderWriter) == 2 * sizeof(void*), "CKACReaderWriter holds one pointer");
} // namespace
