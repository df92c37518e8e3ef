// A host that declares the Windows types itself, as a compatibility layer does,
// builds against tivorn's headers and links to its exports.
#if !defined(_WIN32)
typedef unsigned int DWORD;
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HBITMAP__* HBITMAP;
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;
#define TVN_HAVE_WIN32_TYPES
#endif

#include <gtest/gtest.h>

#include "tivorn.h"

TEST(HostTypes, TheHostsOwnDeclarationsLinkToTheExports) {
    CRGBAImage image;
    EXPECT_EQ(image.fromHandle(static_cast<HBITMAP>(nullptr)), 0);
    tvnDeleteBitmap(tvnCreateBitmap(0, 0, 24, nullptr, 0));
}
