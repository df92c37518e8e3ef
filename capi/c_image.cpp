// The C interface's pictures: each function calls one member of CRGBAImage.
#include "capi/c_handles.h"

using tvn::capi::guarded;

static_assert(TVN_FILTER_BOX == 1 && TVN_FILTER_BLACKMAN == 6, "C filter numbers follow CRGBAImage's");
static_assert(TVN_TRANSP_CONST == TRANSP_CONST && TVN_TRANSP_LINEAR == TRANSP_LG &&
                  TVN_TRANSP_ELLIPSE == TRANSP_ELL && TVN_TRANSP_MASK == TRANSP_MASK &&
                  TVN_TRANSP_ORIGINAL == TRANSP_ORIGINAL && TVN_TRANSP_CHROMAKEY == TRANSP_CHROMAKEY,
              "C transparency modes follow IMG_TRANSP's");

namespace {

// Makes the handle, then its picture by make(); the handle is freed on failure.
template <class Make>
tvn_status create(tvn_image** out, Make make) {
    if (!out) return TVN_BAD_ARG;
    *out = nullptr;
    tvn_image* handle = new (std::nothrow) tvn_image;
    if (!handle) return TVN_EXCEPTION;
    tvn_status status = guarded(handle->error, [&] {
        handle->owned.reset(make());
        handle->image = handle->owned.get();
        return 1;
    });
    if (status != TVN_OK) {
        delete handle;
        return status;
    }
    *out = handle;
    return TVN_OK;
}

// Runs member(image) on a live handle; false results and throws become statuses.
template <class Member>
tvn_status on(tvn_image* handle, Member member) {
    if (!handle || !handle->image) return TVN_BAD_ARG;
    return guarded(handle->error, [&] { return member(*handle->image); });
}

const CRGBAImage* picture(const tvn_image* handle) { return handle ? handle->image : nullptr; }

} // namespace

extern "C" {

TVN_API unsigned int TVN_CDECL tvn_abi_version(void) { return TVN_ABI_VERSION; }

TVN_API tvn_status TVN_CDECL tvn_image_create(tvn_image** out) {
    return create(out, [] { return new CRGBAImage(); });
}
TVN_API tvn_status TVN_CDECL tvn_image_create_size(TVN_DWORD width, TVN_DWORD height, tvn_image** out) {
    return create(out, [&] { return new CRGBAImage(width, height); });
}
TVN_API tvn_status TVN_CDECL tvn_image_create_pixels(const TVN_DWORD* pixels, TVN_DWORD width, TVN_DWORD height,
                                                     tvn_image** out) {
    return create(out, [&] { return new CRGBAImage(pixels, width, height); });
}
TVN_API tvn_status TVN_CDECL tvn_image_create_rle(const unsigned char* packed, TVN_DWORD packedLength,
                                                  TVN_DWORD width, TVN_DWORD height, tvn_image** out) {
    return create(out, [&] { return new CRGBAImage(packed, packedLength, width, height); });
}
TVN_API tvn_status TVN_CDECL tvn_image_copy(const tvn_image* image, tvn_image** out) {
    if (!picture(image)) return TVN_BAD_ARG;
    return create(out, [&] { return new CRGBAImage(*image->image); });
}
TVN_API tvn_status TVN_CDECL tvn_image_assign(tvn_image* target, tvn_image* source) {
    if (!picture(source)) return TVN_BAD_ARG;
    return on(target, [&](CRGBAImage& image) {
        image = *source->image;
        return 1;
    });
}
TVN_API void TVN_CDECL tvn_image_destroy(tvn_image* image) {
    if (image && image->owned) delete image;
}
TVN_API const char* TVN_CDECL tvn_image_last_error(const tvn_image* image) { return image ? image->error.text : ""; }

TVN_API tvn_status TVN_CDECL tvn_image_load(tvn_image* image, const char* fileName, int showDialog) {
    return on(image, [&](CRGBAImage& i) { return i.load(fileName, showDialog); });
}
TVN_API tvn_status TVN_CDECL tvn_image_reload(tvn_image* image, int filter, tvn_progress_proc progress, void* user) {
    return on(image, [&](CRGBAImage& i) { return i.reload(filter, progress, user); });
}

TVN_API TVN_DWORD* TVN_CDECL tvn_image_pixels(tvn_image* image) {
    return image && image->image ? image->image->getBuffer() : nullptr;
}
TVN_API TVN_DWORD TVN_CDECL tvn_image_width(const tvn_image* image) {
    return picture(image) ? image->image->getWidth() : 0;
}
TVN_API TVN_DWORD TVN_CDECL tvn_image_height(const tvn_image* image) {
    return picture(image) ? image->image->getHeight() : 0;
}
TVN_API TVN_DWORD TVN_CDECL tvn_image_width_orig(const tvn_image* image) {
    return picture(image) ? image->image->getWidthOrig() : 0;
}
TVN_API TVN_DWORD TVN_CDECL tvn_image_height_orig(const tvn_image* image) {
    return picture(image) ? image->image->getHeightOrig() : 0;
}
TVN_API int TVN_CDECL tvn_image_has_alpha(const tvn_image* image) {
    return picture(image) ? image->image->containsAlpha() : 0;
}
TVN_API const char* TVN_CDECL tvn_image_file_name(const tvn_image* image) {
    return picture(image) ? image->image->getFileName() : nullptr;
}
TVN_API const char* TVN_CDECL tvn_image_mask_file_name(const tvn_image* image) {
    return picture(image) ? image->image->getMaskFileName() : nullptr;
}
TVN_API unsigned int TVN_CDECL tvn_image_blur_kernel(const tvn_image* image) {
    return picture(image) ? image->image->getBlurKrnlSize() : 0;
}
TVN_API tvn_status TVN_CDECL tvn_image_get_transparency(const tvn_image* image, tvn_transparency* out) {
    if (!picture(image) || !out) return TVN_BAD_ARG;
    std::memcpy(out, &image->image->getTransparency(), sizeof *out);
    return TVN_OK;
}

TVN_API tvn_status TVN_CDECL tvn_image_set_size(tvn_image* image, TVN_DWORD width, TVN_DWORD height, int filter,
                                                tvn_progress_proc progress, void* user) {
    return on(image, [&](CRGBAImage& i) { return i.setSize(width, height, filter, progress, user); });
}
TVN_API tvn_status TVN_CDECL tvn_image_set_size_rough(tvn_image* image, TVN_DWORD width, TVN_DWORD height) {
    return on(image, [&](CRGBAImage& i) { return i.setSizeRough(width, height); });
}
TVN_API tvn_status TVN_CDECL tvn_image_blur(tvn_image* image, unsigned int* kernel) {
    if (!kernel) return TVN_BAD_ARG;
    return on(image, [&](CRGBAImage& i) {
        i.blur(kernel);
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_set_transparency(tvn_image* image, const tvn_transparency* transp,
                                                        const char* maskFile) {
    if (!transp) return TVN_BAD_ARG;
    IMG_TRANSP record;
    std::memcpy(&record, transp, sizeof record);
    return on(image, [&](CRGBAImage& i) { return i.setTransparency(record, maskFile); });
}
TVN_API tvn_status TVN_CDECL tvn_image_save_alpha(tvn_image* image) {
    return on(image, [](CRGBAImage& i) {
        i.saveAlpha();
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_restore_alpha(tvn_image* image, int filter, tvn_progress_proc progress,
                                                     void* user) {
    return on(image, [&](CRGBAImage& i) { return i.restoreAlpha(filter, progress, user); });
}

TVN_API tvn_status TVN_CDECL tvn_image_convert_to_grayscale(tvn_image* image) {
    return on(image, [](CRGBAImage& i) { return i.convertToGrayscale(); });
}
TVN_API tvn_status TVN_CDECL tvn_image_convert_to_bgra(tvn_image* image) {
    return on(image, [](CRGBAImage& i) { return i.convertToBGRA(); });
}
TVN_API tvn_status TVN_CDECL tvn_image_fill_24bit(tvn_image* image, unsigned char* dst) {
    return on(image, [&](CRGBAImage& i) { return i.fillBuffer24bit(dst); });
}
TVN_API tvn_status TVN_CDECL tvn_image_fill_32bit(tvn_image* image, unsigned char* dst) {
    return on(image, [&](CRGBAImage& i) { return i.fillBuffer32bit(dst); });
}
TVN_API tvn_status TVN_CDECL tvn_image_flip_horizontal(tvn_image* image) {
    return on(image, [](CRGBAImage& i) {
        i.flipHorizontal();
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_flip_vertical(tvn_image* image) {
    return on(image, [](CRGBAImage& i) {
        i.flipVertical();
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_trim_by_alpha(tvn_image* image, TVN_DWORD* x, TVN_DWORD* y) {
    if (!x || !y) return TVN_BAD_ARG;
    return on(image, [&](CRGBAImage& i) {
        i.trimByAlpha(*x, *y);
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_stretch_horizontally(tvn_image* image, TVN_DWORD width) {
    return on(image, [&](CRGBAImage& i) {
        i.stretchHorizontally(width);
        return 1;
    });
}
TVN_API tvn_status TVN_CDECL tvn_image_from_handle(tvn_image* image, HBITMAP bitmap) {
    return on(image, [&](CRGBAImage& i) { return i.fromHandle(bitmap); });
}

TVN_API tvn_status TVN_CDECL tvn_image_compress_rle(tvn_image* image, unsigned char** packed, TVN_DWORD* length) {
    if (!packed || !length) return TVN_BAD_ARG;
    return on(image, [&](CRGBAImage& i) {
        *packed = nullptr;
        *length = i.compressRLE(packed);
        return *length != 0;
    });
}
TVN_API void TVN_CDECL tvn_rle_free(unsigned char* packed) { CRGBAImage::freeRLEBuffer(packed); }
TVN_API tvn_status TVN_CDECL tvn_image_save_tga(tvn_image* image, const char* fileName) {
    return on(image, [&](CRGBAImage& i) { return i.saveTGA(fileName); });
}

TVN_API tvn_status TVN_CDECL tvn_image_show_properties(tvn_image* image, HWND owner, int filter,
                                                       tvn_progress_proc progress, void* user, int* accepted) {
    if (!accepted) return TVN_BAD_ARG;
    *accepted = 0;
    return on(image, [&](CRGBAImage& i) {
        *accepted = i.showProperties(owner, filter, progress, user);
        return 1;
    });
}

} // extern "C"
