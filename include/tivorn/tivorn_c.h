/* The flat C interface of tivorn: the same pictures, animations and caches as the
   classes, for hosts built with any compiler and for other languages.
   Usable on its own from C89/C99. Handles are opaque; only integers, pointers and
   the two records below cross it, always with the TVN_CDECL convention, and no
   C++ exception ever leaves it: every call that can fail returns a tvn_status.
   The text of a failure (the message the library showed through the message proc,
   the text it threw, or the text it recorded for a failed cache operation) stays
   readable until the next failure: a picture's from its handle; an image set's
   and a cache's, which several threads may use, per thread (see each). */
#ifndef TIVORN_TIVORN_C_H
#define TIVORN_TIVORN_C_H

#include "types.h"
#include "host.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Raised whenever a function, record or meaning of this header changes in a way
   an older host would misread. Hosts compare tvn_abi_version() with the value
   they were built with and refuse a mismatch. */
#define TVN_ABI_VERSION 1
TVN_API unsigned int TVN_CDECL tvn_abi_version(void);

typedef int tvn_status;
#define TVN_OK 0
#define TVN_FAILED (-1)    /* the operation reported failure (see the last error) */
#define TVN_EXCEPTION (-2) /* out of memory or a corrupt stream (see the last error) */
#define TVN_BAD_ARG (-3)   /* a null handle or pointer where one is needed */

/* Resize filters, as CRGBAImage's BoxFilter..BlackmanFilter. */
#define TVN_FILTER_BOX 1
#define TVN_FILTER_BILINEAR 2
#define TVN_FILTER_BICUBIC 3
#define TVN_FILTER_GAUSSIAN 4
#define TVN_FILTER_HAMMING 5
#define TVN_FILTER_BLACKMAN 6

/* Transparency modes, as TRANSP_CONST..TRANSP_CHROMAKEY. */
#define TVN_TRANSP_CONST 0
#define TVN_TRANSP_LINEAR 1
#define TVN_TRANSP_ELLIPSE 2
#define TVN_TRANSP_MASK 3
#define TVN_TRANSP_ORIGINAL 4
#define TVN_TRANSP_CHROMAKEY 5

typedef struct tvn_image tvn_image;
typedef struct tvn_image_set tvn_image_set;
typedef struct tvn_cache tvn_cache;

/* Resize progress: percent 0..99 and the caller's value; return 0 to abort. */
typedef int (TVN_CDECL *tvn_progress_proc)(unsigned char percent, void* user);
/* Cache save progress in frames; return 0 to stop the save. */
typedef int (TVN_CDECL *tvn_cache_progress_proc)(void* user, unsigned int done, unsigned int total);
/* After each preload pass of an image set, on the preloader's thread. */
typedef void (TVN_CDECL *tvn_preload_proc)(void* user);

/* Transparency settings: the same 20 bytes as IMG_TRANSP. Percentages are
   transparency (0 opaque, 100 transparent). */
typedef struct tvn_transparency {
    unsigned char mode;
    unsigned char const_transp;
    unsigned char linear_top;
    unsigned char linear_left;
    unsigned char linear_right;
    unsigned char linear_bottom;
    unsigned char ellipse_center;
    unsigned char ellipse_border;
    TVN_DWORD chromakey_color;
    int chromakey_soft;
    TVN_DWORD chromakey_deviation;
} tvn_transparency;

/* One cache entry; file_name points into the cache (see KAC_ENTRY_INFO). */
typedef struct tvn_cache_entry {
    const char* file_name;
    TVN_DWORD frame_count;
} tvn_cache_entry;

/* ---- Pictures ---------------------------------------------------------- */
/* An empty picture; width x height zeros; a copy of width x height words (null:
   zeros); a run-length stream of tvn_image_compress_rle; a copy of a picture. */
TVN_API tvn_status TVN_CDECL tvn_image_create(tvn_image** out);
TVN_API tvn_status TVN_CDECL tvn_image_create_size(TVN_DWORD width, TVN_DWORD height, tvn_image** out);
TVN_API tvn_status TVN_CDECL tvn_image_create_pixels(const TVN_DWORD* pixels, TVN_DWORD width, TVN_DWORD height,
                                                     tvn_image** out);
TVN_API tvn_status TVN_CDECL tvn_image_create_rle(const unsigned char* packed, TVN_DWORD packed_length,
                                                  TVN_DWORD width, TVN_DWORD height, tvn_image** out);
TVN_API tvn_status TVN_CDECL tvn_image_copy(const tvn_image* image, tvn_image** out);
/* target = source, as CRGBAImage's operator=. */
TVN_API tvn_status TVN_CDECL tvn_image_assign(tvn_image* target, tvn_image* source);
/* Frames of an image set belong to the set: destroying one does nothing. */
TVN_API void TVN_CDECL tvn_image_destroy(tvn_image* image);
/* The text of the last failure on this picture; "" when there is none. */
TVN_API const char* TVN_CDECL tvn_image_last_error(const tvn_image* image);

/* show_dialog: the open-file dialog (or the host's open-file proc) picks the file. */
TVN_API tvn_status TVN_CDECL tvn_image_load(tvn_image* image, const char* file_name, int show_dialog);
TVN_API tvn_status TVN_CDECL tvn_image_reload(tvn_image* image, int filter, tvn_progress_proc progress, void* user);

/* Pixel words (red in the low byte), width x height, bottom row first. Null and
   0 for an empty picture or a null handle. */
TVN_API TVN_DWORD* TVN_CDECL tvn_image_pixels(tvn_image* image);
TVN_API TVN_DWORD TVN_CDECL tvn_image_width(const tvn_image* image);
TVN_API TVN_DWORD TVN_CDECL tvn_image_height(const tvn_image* image);
TVN_API TVN_DWORD TVN_CDECL tvn_image_width_orig(const tvn_image* image);
TVN_API TVN_DWORD TVN_CDECL tvn_image_height_orig(const tvn_image* image);
TVN_API int TVN_CDECL tvn_image_has_alpha(const tvn_image* image);
TVN_API const char* TVN_CDECL tvn_image_file_name(const tvn_image* image);
TVN_API const char* TVN_CDECL tvn_image_mask_file_name(const tvn_image* image);
TVN_API unsigned int TVN_CDECL tvn_image_blur_kernel(const tvn_image* image);
TVN_API tvn_status TVN_CDECL tvn_image_get_transparency(const tvn_image* image, tvn_transparency* out);

/* Resizing, blur and transparency, always from the untouched copy. */
TVN_API tvn_status TVN_CDECL tvn_image_set_size(tvn_image* image, TVN_DWORD width, TVN_DWORD height, int filter,
                                                tvn_progress_proc progress, void* user);
TVN_API tvn_status TVN_CDECL tvn_image_set_size_rough(tvn_image* image, TVN_DWORD width, TVN_DWORD height);
/* Grows the picture by *kernel on every side; *kernel may be lowered to what fits. */
TVN_API tvn_status TVN_CDECL tvn_image_blur(tvn_image* image, unsigned int* kernel);
/* mask_file: the grey picture of TVN_TRANSP_MASK, else null. */
TVN_API tvn_status TVN_CDECL tvn_image_set_transparency(tvn_image* image, const tvn_transparency* transp,
                                                        const char* mask_file);
TVN_API tvn_status TVN_CDECL tvn_image_save_alpha(tvn_image* image);
TVN_API tvn_status TVN_CDECL tvn_image_restore_alpha(tvn_image* image, int filter, tvn_progress_proc progress,
                                                     void* user);

/* Conversions and geometry. fill_24bit/fill_32bit write width x height x 3 or 4 bytes. */
TVN_API tvn_status TVN_CDECL tvn_image_convert_to_grayscale(tvn_image* image);
TVN_API tvn_status TVN_CDECL tvn_image_convert_to_bgra(tvn_image* image);
TVN_API tvn_status TVN_CDECL tvn_image_fill_24bit(tvn_image* image, unsigned char* dst);
TVN_API tvn_status TVN_CDECL tvn_image_fill_32bit(tvn_image* image, unsigned char* dst);
TVN_API tvn_status TVN_CDECL tvn_image_flip_horizontal(tvn_image* image);
TVN_API tvn_status TVN_CDECL tvn_image_flip_vertical(tvn_image* image);
/* Crops to the non-transparent part; *x, *y get where it started. */
TVN_API tvn_status TVN_CDECL tvn_image_trim_by_alpha(tvn_image* image, TVN_DWORD* x, TVN_DWORD* y);
TVN_API tvn_status TVN_CDECL tvn_image_stretch_horizontally(tvn_image* image, TVN_DWORD width);
TVN_API tvn_status TVN_CDECL tvn_image_from_handle(tvn_image* image, HBITMAP bitmap);

/* Run-length packing of the untouched picture: *packed (free with
   tvn_rle_free) and its length in *length. */
TVN_API tvn_status TVN_CDECL tvn_image_compress_rle(tvn_image* image, unsigned char** packed, TVN_DWORD* length);
TVN_API void TVN_CDECL tvn_rle_free(unsigned char* packed);
TVN_API tvn_status TVN_CDECL tvn_image_save_tga(tvn_image* image, const char* file_name);

/* The properties dialog; *accepted is 1 after OK, 0 after Cancel or none shown. */
TVN_API tvn_status TVN_CDECL tvn_image_show_properties(tvn_image* image, HWND owner, int filter,
                                                       tvn_progress_proc progress, void* user, int* accepted);

/* ---- Animations: a numbered run of picture files ------------------------ */
TVN_API tvn_status TVN_CDECL tvn_image_set_open(const char* file_name, tvn_image_set** out);
TVN_API tvn_status TVN_CDECL tvn_image_set_copy(const tvn_image_set* set, tvn_image_set** out);
TVN_API void TVN_CDECL tvn_image_set_destroy(tvn_image_set* set);
/* The calling thread's last failure on this set; "" when there is none. */
TVN_API const char* TVN_CDECL tvn_image_set_last_error(const tvn_image_set* set);
TVN_API unsigned int TVN_CDECL tvn_image_set_frame_count(tvn_image_set* set);
/* The frame as a picture owned by the set, valid as CRGBAImageSet::getFrame's
   pointer is (at least until the next tvn_image_set_frame on the set). */
TVN_API tvn_status TVN_CDECL tvn_image_set_frame(tvn_image_set* set, unsigned int index, tvn_image** frame);
TVN_API tvn_status TVN_CDECL tvn_image_set_keep_ready(tvn_image_set* set, unsigned int n);
TVN_API tvn_status TVN_CDECL tvn_image_set_preload_all(tvn_image_set* set);
TVN_API tvn_status TVN_CDECL tvn_image_set_preload_frames(tvn_image_set* set);
TVN_API tvn_status TVN_CDECL tvn_image_set_preload_callback(tvn_image_set* set, tvn_preload_proc proc, void* user);

/* ---- Animation caches ---------------------------------------------------
   file handles as CKACReaderWriter's: numbers, never 0, owned by the opening
   thread. The last error of a cache is the calling thread's last failure on it. */
TVN_API tvn_status TVN_CDECL tvn_cache_create(tvn_cache** out);
TVN_API void TVN_CDECL tvn_cache_destroy(tvn_cache* cache);
TVN_API const char* TVN_CDECL tvn_cache_last_error(const tvn_cache* cache);
TVN_API tvn_status TVN_CDECL tvn_cache_open(tvn_cache* cache, const char* file_name, int writable,
                                            TVN_DWORD* handle);
TVN_API tvn_status TVN_CDECL tvn_cache_close(tvn_cache* cache, TVN_DWORD handle);
TVN_API tvn_status TVN_CDECL tvn_cache_reopen_as_writable(tvn_cache* cache, TVN_DWORD handle);
TVN_API tvn_status TVN_CDECL tvn_cache_reopen(tvn_cache* cache, TVN_DWORD handle);
TVN_API tvn_status TVN_CDECL tvn_cache_is_writable(tvn_cache* cache, TVN_DWORD handle, int* writable);
/* Null for an unknown handle. */
TVN_API const char* TVN_CDECL tvn_cache_file_name(tvn_cache* cache, TVN_DWORD handle);
TVN_API tvn_status TVN_CDECL tvn_cache_file_size(tvn_cache* cache, TVN_DWORD handle, TVN_DWORD* size);
TVN_API tvn_status TVN_CDECL tvn_cache_entry_count(tvn_cache* cache, TVN_DWORD handle, unsigned int* count);
TVN_API tvn_status TVN_CDECL tvn_cache_entry_info(tvn_cache* cache, TVN_DWORD handle, unsigned int entry,
                                                  tvn_cache_entry* info);
TVN_API tvn_status TVN_CDECL tvn_cache_save(tvn_cache* cache, TVN_DWORD handle, tvn_cache_progress_proc progress,
                                            void* user);
TVN_API tvn_status TVN_CDECL tvn_cache_add_entry(tvn_cache* cache, TVN_DWORD handle, const char* image_file_name);
TVN_API tvn_status TVN_CDECL tvn_cache_delete_entry(tvn_cache* cache, TVN_DWORD handle, unsigned int entry);
TVN_API tvn_status TVN_CDECL tvn_cache_frame_size(tvn_cache* cache, TVN_DWORD handle, unsigned int entry,
                                                  unsigned int frame, TVN_DWORD* width, TVN_DWORD* height);
/* pixels: width x height words, bottom row first. */
TVN_API tvn_status TVN_CDECL tvn_cache_frame_data(tvn_cache* cache, TVN_DWORD handle, unsigned int entry,
                                                  unsigned int frame, TVN_DWORD* pixels);
TVN_API const char* TVN_CDECL tvn_cache_frame_name(tvn_cache* cache, TVN_DWORD handle, unsigned int entry,
                                                   unsigned int frame);

#ifdef __cplusplus
}
#endif

#endif
