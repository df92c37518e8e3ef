// The platform picture decoder: the bytes in a movable global block, a stream that
// owns the block, OleLoadPicture, and the picture's bitmap handle. The picture and
// the stream (and with it the block) are released on every path.
#include "platform/bitmaps.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

namespace tvn {
namespace plat {

const char* pictureDecoderName() {
    return "OleLoadPicture";
}

// OleLoadPicture gives a bitmap handle only.
PictureRoute decodePictureInto(const void*, TVN_DWORD, PictureWords, void*) {
    return PictureUseBitmap;
}

int decodePicture(const void* bytes, TVN_DWORD size, int (*take)(HBITMAP bitmap, void* context), void* context) {
    if (!bytes || !take || size > 0x7FFFFFFFu) return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return 0;
    void* locked = GlobalLock(block);
    if (!locked) {
        GlobalFree(block);
        return 0;
    }
    std::memcpy(locked, bytes, size);
    GlobalUnlock(block);

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
        GlobalFree(block);
        return 0;
    }
    int result = 0;
    IPicture* picture = nullptr;
    if (SUCCEEDED(
            OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture))) &&
        picture) {
        // Icons and metafiles come back as other handle kinds: only bitmaps are taken.
        short type = PICTYPE_UNINITIALIZED;
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP && SUCCEEDED(picture->get_Handle(&handle)) &&
            handle)
            result = take(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), context);
        picture->Release();
    }
    stream->Release();
    return result;
}

} // namespace plat
} // namespace tvn
