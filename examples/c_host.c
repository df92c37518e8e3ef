/* A host in plain C (no C++ runtime): load, resize, transparency and save through
   the C interface, then an image set and a cache of it. argv[1] is a scratch
   folder; the picture it writes (c_out.tga) is compared with the classes' own. */
#include <stdio.h>
#include <string.h>
#include <tivorn.h>

static int messages = 0;
static void TVN_CDECL count_message(const char* text, const char* caption, void* user) {
    (void)text; (void)caption; (void)user;
    ++messages;
}
static int TVN_CDECL on_progress(unsigned char percent, void* user) {
    (void)percent;
    ++*(int*)user;
    return 1;
}
/* The library's texts come in the system's code page: UTF-8 here, 1251 on a
   Russian Windows. */
#ifdef _WIN32
static const char kCannotOpenCache[] = "\xCD\xE5 \xF3\xE4\xE0\xE5\xF2\xF1\xFF \xEE\xF2\xEA\xF0\xFB\xF2\xFC "
                                       "\xF4\xE0\xE9\xEB \xEA\xFD\xF8\xE0";
static const char kReadOnlyCache[] = "\xD4\xE0\xE9\xEB \xEA\xFD\xF8\xE0 \xEE\xF2\xEA\xF0\xFB\xF2 "
                                     "\xF2\xEE\xEB\xFC\xEA\xEE \xE4\xEB\xFF \xF7\xF2\xE5\xED\xE8\xFF";
#else
static const char kCannotOpenCache[] = "Не удается открыть файл кэша";
static const char kReadOnlyCache[] = "Файл кэша открыт только для чтения";
#endif

#define CHECK(cond) do { if (!(cond)) { fprintf(stderr, "failed: %s (line %d)\n", #cond, __LINE__); return 1; } } while (0)

static TVN_DWORD pel(unsigned x, unsigned y, unsigned frame) {
    return tvnRGBA((unsigned char)(x * 5 + frame * 40), (unsigned char)(y * 7), (unsigned char)(x ^ y), 255);
}
static void path(char* out, const char* dir, const char* name) { sprintf(out, "%s/%s", dir, name); }

static int write_picture(const char* file, unsigned w, unsigned h, unsigned frame) {
    static TVN_DWORD px[64 * 48];
    tvn_image* image = NULL;
    unsigned x, y;
    int ok;
    for (y = 0; y < h; ++y)
        for (x = 0; x < w; ++x) px[y * w + x] = pel(x, y, frame);
    if (tvn_image_create_pixels(px, w, h, &image) != TVN_OK) return 0;
    ok = tvn_image_save_tga(image, file) == TVN_OK;
    tvn_image_destroy(image);
    return ok;
}

int main(int argc, char** argv) {
    char src[400], out[400], frame[400], kac[400];
    tvn_image* image = NULL;
    tvn_image* shown = NULL;
    tvn_image_set* set = NULL;
    tvn_cache* cache = NULL;
    tvn_transparency transp;
    tvn_cache_entry entry;
    TVN_DWORD handle = 0, w = 0, h = 0, data[8 * 8], packed_length = 0;
    unsigned char* packed = NULL;
    unsigned i, count = 0, frames = 0;
    int steps = 0;
    CHECK(argc == 2);
    CHECK(tvn_abi_version() == TVN_ABI_VERSION);
    tvnSetMessageProc(count_message, NULL);
    path(src, argv[1], "c_src.tga");
    path(out, argv[1], "c_out.tga");
    CHECK(write_picture(src, 64, 48, 0));

    CHECK(tvn_image_create(&image) == TVN_OK);
    CHECK(tvn_image_load(image, src, 0) == TVN_OK);
    CHECK(tvn_image_set_size(image, 40, 30, TVN_FILTER_BICUBIC, on_progress, &steps) == TVN_OK);
    memset(&transp, 0, sizeof transp);
    transp.mode = TVN_TRANSP_LINEAR;
    transp.linear_top = 10;
    transp.linear_bottom = 90;
    transp.linear_left = 30;
    transp.linear_right = 60;
    CHECK(tvn_image_set_transparency(image, &transp, NULL) == TVN_OK);
    CHECK(tvn_image_save_tga(image, out) == TVN_OK);
    CHECK(tvn_image_width(image) == 40 && tvn_image_height(image) == 30 && tvn_image_has_alpha(image));

    /* A failure: its status, its text in the handle, and the host's message proc told. */
    CHECK(tvn_image_load(image, "no/such/picture.tga", 0) == TVN_FAILED);
    CHECK(tvn_image_last_error(image)[0] != 0 && messages == 1);
    /* Thrown texts become statuses: the run-length stream round trip, a cut stream,
       a picture too large for 32-bit sizes, a null handle. */
    CHECK(tvn_image_compress_rle(image, &packed, &packed_length) == TVN_OK);
    CHECK(tvn_image_create_rle(packed, packed_length, 64, 48, &shown) == TVN_OK);
    CHECK((tvn_image_pixels(shown)[64 * 3 + 9] & 0xFFFFFFu) == (pel(9, 3, 0) & 0xFFFFFFu));
    tvn_image_destroy(shown);
    CHECK(tvn_image_create_rle(packed, packed_length / 2, 64, 48, &shown) == TVN_EXCEPTION && !shown);
    tvn_rle_free(packed);
    CHECK(tvn_image_create_size(0x10000, 0x10000, &shown) == TVN_EXCEPTION);
    CHECK(tvn_image_set_size(NULL, 1, 1, TVN_FILTER_BOX, NULL, NULL) == TVN_BAD_ARG);
    tvn_image_destroy(image);

    for (i = 0; i < 3; ++i) {
        sprintf(frame, "%s/walk%04u.tga", argv[1], i + 1);
        CHECK(write_picture(frame, 8, 8, i));
    }
    sprintf(frame, "%s/walk0001.tga", argv[1]);
    CHECK(tvn_image_set_open(frame, &set) == TVN_OK);
    CHECK(tvn_image_set_frame_count(set) == 3);
    CHECK(tvn_image_set_frame(set, 2, &shown) == TVN_OK);
    CHECK(tvn_image_width(shown) == 8 && tvn_image_pixels(shown)[9] == pel(1, 1, 2));
    tvn_image_destroy(shown); /* a frame of the set: stays the set's */
    tvn_image_set_destroy(set);

    path(kac, argv[1], "walk.kac");
    CHECK(tvn_cache_create(&cache) == TVN_OK);
    CHECK(tvn_cache_open(cache, kac, 1, &handle) == TVN_OK);
    CHECK(tvn_cache_add_entry(cache, handle, frame) == TVN_OK);
    CHECK(tvn_cache_save(cache, handle, NULL, NULL) == TVN_OK);
    CHECK(tvn_cache_close(cache, handle) == TVN_OK);
    CHECK(tvn_cache_open(cache, kac, 0, &handle) == TVN_OK);
    CHECK(tvn_cache_entry_count(cache, handle, &count) == TVN_OK && count == 1);
    CHECK(tvn_cache_entry_info(cache, handle, 0, &entry) == TVN_OK && (frames = entry.frame_count) == 3);
    CHECK(tvn_cache_frame_size(cache, handle, 0, 1, &w, &h) == TVN_OK && w == 8 && h == 8);
    CHECK(tvn_cache_frame_data(cache, handle, 0, 1, data) == TVN_OK && data[8 * 3 + 5] == pel(5, 3, 1));
    CHECK(tvn_cache_entry_info(cache, handle, 7, &entry) == TVN_FAILED);
    /* Why a cache failed: the library's text, read back by the thread that failed. */
    CHECK(tvn_cache_save(cache, handle, NULL, NULL) == TVN_FAILED);
    CHECK(strcmp(tvn_cache_last_error(cache), kReadOnlyCache) == 0);
    path(kac, argv[1], "missing.kac");
    CHECK(tvn_cache_open(cache, kac, 0, &handle) == TVN_FAILED);
    CHECK(strcmp(tvn_cache_last_error(cache), kCannotOpenCache) == 0);
    tvn_cache_destroy(cache);

    printf("C host: %u frames cached, resize progress %d steps\n", frames, steps);
    return 0;
}
