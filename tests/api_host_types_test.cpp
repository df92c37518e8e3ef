// A host that declares the Windows types itself, as a compatibility layer does,
// builds against tivorn's headers and links to its exports.
#include <cstdint>

#if !defined(_WIN32)
typedef unsigned int DWORD;
typedef void* PVOID;
typedef PVOID HANDLE;
typedef struct HWND__* HWND;
typedef struct HBITMAP__* HBITMAP;
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME;
#define TVN_HAVE_WIN32_TYPES
#endif

#include <gtest/gtest.h>

#include "tivorn.h"

TEST(HostTypes, TheHostsOwnDeclarationsServeTheInterface) {
    const unsigned char rows[4] = {30, 20, 10, 0};
    HBITMAP bitmap = tvnCreateBitmap(1, 1, 24, rows, 4);
    ASSERT_NE(bitmap, nullptr);
    CRGBAImage image;
    EXPECT_EQ(image.fromHandle(bitmap), 1);
    EXPECT_EQ(image.getBuffer()[0], tvnRGBA(10, 20, 30, 255));
    tvnDeleteBitmap(bitmap);
    FILETIME time = {1, 2};
    EXPECT_EQ(time.dwHighDateTime, 2u);
}
