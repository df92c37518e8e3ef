// The picture decoder on POSIX systems: TurboJPEG, JPEG only. It decodes straight
// into the caller's pixel words; decodePicture, the route of the bitmap handle,
// gives the same picture as a 24-bit bottom-up bitmap object. Damaged or
// cut-off data is refused (TurboJPEG's warnings, such as a file that ends early,
// count as failures).
#include "platform/posix/bitmap_object.h"

#include <turbojpeg.h>

namespace tvn {
namespace plat {

namespace {

// Hostile progressive files could ask for endless scans: those are refused.
const int kFlags = TJFLAG_BOTTOMUP | TJFLAG_LIMITSCANS;

class Decoder {
public:
    Decoder(const void* bytes, TVN_DWORD size)
        : m_handle(bytes && size ? tjInitDecompress() : nullptr),
          m_data(const_cast<unsigned char*>(static_cast<const unsigned char*>(bytes))), m_size(size) {}
    ~Decoder() {
        if (m_handle) tjDestroy(m_handle);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // The header query also fails for sampling factors outside TurboJPEG's named
    // classes, after it has found the size; the full decode handles those.
    bool readSize() {
        if (!m_handle) return false;
        int subsampling = 0, colorspace = 0;
        tjDecompressHeader3(m_handle, m_data, m_size, &m_width, &m_height, &subsampling, &colorspace);
        return m_width > 0 && m_height > 0;
    }
    bool decode(void* rows, int pitch, TJPF format) {
        return tjDecompress2(m_handle, m_data, m_size, static_cast<unsigned char*>(rows), m_width, pitch, m_height,
                             format, kFlags) == 0;
    }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    tjhandle m_handle;
    unsigned char* m_data;
    unsigned long m_size;
    int m_width = 0, m_height = 0;
};

// Red in bits 0-7 of a pixel word: bytes R, G, B, A in memory on little-endian
// machines. When decompressing, TurboJPEG sets the alpha byte to 0xFF.
TJPF wordFormat() {
    const TVN_DWORD probe = 1;
    return *reinterpret_cast<const unsigned char*>(&probe) == 1 ? TJPF_RGBA : TJPF_ABGR;
}

} // namespace

const char* pictureDecoderName() {
    return "TurboJPEG";
}

PictureRoute decodePictureInto(const void* bytes, TVN_DWORD size, PictureWords words, void* context) {
    if (!words) return PictureFailed;
    Decoder decoder(bytes, size);
    if (!decoder.readSize()) return PictureFailed;
    const TVN_DWORD width = static_cast<TVN_DWORD>(decoder.width());
    TVN_DWORD* out = words(context, width, static_cast<TVN_DWORD>(decoder.height()));
    // A JPEG is at most 65535 wide, so the pitch fits in an int.
    if (!out || !decoder.decode(out, static_cast<int>(width * 4), wordFormat())) return PictureFailed;
    return PictureDecoded;
}

int decodePicture(const void* bytes, TVN_DWORD size, int (*take)(HBITMAP bitmap, void* context), void* context) {
    if (!take) return 0;
    Decoder decoder(bytes, size);
    if (!decoder.readSize()) return 0;
    int result = 0;
    HBITMAP bitmap = bitmapCreate(decoder.width(), decoder.height(), 24);
    if (bitmap && decoder.decode(bitmap->bits, static_cast<int>(bitmap->stride), TJPF_BGR))
        result = take(bitmap, context);
    bitmapDelete(bitmap);
    return result;
}

} // namespace plat
} // namespace tvn
