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

/* ---- The functions ------------------------------------------------------
   Declared from tivorn/c_functions.inc, the one list of the interface's
   functions, each with its parameters and what it does: the version, pictures,
   animations and caches (the host's hooks of host.h follow them there). */
#define TVN_FUNCTION(header, availability, result, name, parameters, doc) \
    TVN_DECLARE_##header(result, name, parameters)
#define TVN_DECLARE_C(result, name, parameters) TVN_API result TVN_CDECL name parameters;
#include "c_functions.inc"

#ifdef __cplusplus
}
#endif

#endif
