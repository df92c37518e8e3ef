# Made by python/generate_prototypes.py from include/tivorn/c_functions.inc: do not edit,
# change the list and run the generator again.
"""The ctypes prototypes of every function of the C interface: name -> (result, arguments)."""
from ctypes import POINTER, c_char, c_char_p, c_int, c_ubyte, c_uint, c_uint32, c_uint64, c_void_p

from ._types import (
    CACHE_PROGRESS,
    CHOOSE_COLOR_PROC,
    CacheEntry,
    FileProcs,
    MESSAGE_PROC,
    OPEN_FILE_PROC,
    PRELOAD,
    PROGRESS,
    PROPERTIES_DIALOG_PROC,
    Transparency,
)

# Exported by every library of this interface version.
PROTOTYPES = {
    # ---- tivorn_c.h
    # The TVN_ABI_VERSION the library was built with; refuse to run on a mismatch.
    "tvn_abi_version": (c_uint, []),
    # An empty picture.
    "tvn_image_create": (c_int, [POINTER(c_void_p)]),
    # A picture of width x height zero words.
    "tvn_image_create_size": (c_int, [c_uint32, c_uint32, POINTER(c_void_p)]),
    # A copy of width x height pixel words, bottom row first (null pixels: zeros).
    "tvn_image_create_pixels": (c_int, [c_void_p, c_uint32, c_uint32, POINTER(c_void_p)]),
    # A width x height picture from a run-length stream of tvn_image_compress_rle.
    "tvn_image_create_rle": (c_int, [c_void_p, c_uint32, c_uint32, c_uint32, POINTER(c_void_p)]),
    # A copy of a picture.
    "tvn_image_copy": (c_int, [c_void_p, POINTER(c_void_p)]),
    # target = source, as CRGBAImage's operator=.
    "tvn_image_assign": (c_int, [c_void_p, c_void_p]),
    # Frees a picture; frames of an image set belong to the set: destroying one does nothing.
    "tvn_image_destroy": (None, [c_void_p]),
    # The text of the last failure on this picture; an empty text when there is none.
    "tvn_image_last_error": (c_char_p, [c_void_p]),
    # Loads a file; show_dialog: the open-file dialog (or the host's open-file proc) picks it.
    "tvn_image_load": (c_int, [c_void_p, c_char_p, c_int]),
    # Loads the picture's file again at its current size (filter 0: the one used last).
    "tvn_image_reload": (c_int, [c_void_p, c_int, PROGRESS, c_void_p]),
    # The picture's pixel words, bottom row first.
    "tvn_image_pixels": (POINTER(c_uint32), [c_void_p]),
    # The width in pixels.
    "tvn_image_width": (c_uint32, [c_void_p]),
    # The height in pixels.
    "tvn_image_height": (c_uint32, [c_void_p]),
    # The width of the untouched copy.
    "tvn_image_width_orig": (c_uint32, [c_void_p]),
    # The height of the untouched copy.
    "tvn_image_height_orig": (c_uint32, [c_void_p]),
    # 1 when the loaded picture had an alpha channel of its own.
    "tvn_image_has_alpha": (c_int, [c_void_p]),
    # The file the picture was loaded from.
    "tvn_image_file_name": (c_char_p, [c_void_p]),
    # The grey picture of the mask transparency mode.
    "tvn_image_mask_file_name": (c_char_p, [c_void_p]),
    # The blur kernel applied to the picture.
    "tvn_image_blur_kernel": (c_uint, [c_void_p]),
    # The transparency settings.
    "tvn_image_get_transparency": (c_int, [c_void_p, POINTER(Transparency)]),
    # Resizes to width x height with a TVN_FILTER_ filter; progress may abort it.
    "tvn_image_set_size": (c_int, [c_void_p, c_uint32, c_uint32, c_int, PROGRESS, c_void_p]),
    # Resizes to width x height by the nearest pixel.
    "tvn_image_set_size_rough": (c_int, [c_void_p, c_uint32, c_uint32]),
    # Blurs, growing the picture by *kernel on every side; *kernel may be lowered to what fits.
    "tvn_image_blur": (c_int, [c_void_p, POINTER(c_uint)]),
    # Applies the transparency settings; mask_file: the grey picture of TVN_TRANSP_MASK, else null.
    "tvn_image_set_transparency": (c_int, [c_void_p, POINTER(Transparency), c_char_p]),
    # Saves the picture's own alpha channel, once, for tvn_image_restore_alpha.
    "tvn_image_save_alpha": (c_int, [c_void_p]),
    # Puts the alpha channel saved by tvn_image_save_alpha back, at the current size.
    "tvn_image_restore_alpha": (c_int, [c_void_p, c_int, PROGRESS, c_void_p]),
    # Converts to grey.
    "tvn_image_convert_to_grayscale": (c_int, [c_void_p]),
    # Swaps red and blue in every pixel word.
    "tvn_image_convert_to_bgra": (c_int, [c_void_p]),
    # Writes width x height x 3 bytes (blue, green, red), bottom row first.
    "tvn_image_fill_24bit": (c_int, [c_void_p, POINTER(c_ubyte)]),
    # Writes width x height x 4 bytes (blue, green, red, alpha) of the rebuilt picture.
    "tvn_image_fill_32bit": (c_int, [c_void_p, POINTER(c_ubyte)]),
    # Mirrors left to right.
    "tvn_image_flip_horizontal": (c_int, [c_void_p]),
    # Mirrors top to bottom.
    "tvn_image_flip_vertical": (c_int, [c_void_p]),
    # Crops to the non-transparent part; *x, *y get where it started.
    "tvn_image_trim_by_alpha": (c_int, [c_void_p, POINTER(c_uint32), POINTER(c_uint32)]),
    # Widens to width pixels by repeating the middle column.
    "tvn_image_stretch_horizontally": (c_int, [c_void_p, c_uint32]),
    # Takes the pixels of a bitmap handle (tvnCreateBitmap, or an HBITMAP on Windows).
    "tvn_image_from_handle": (c_int, [c_void_p, c_void_p]),
    # Packs the untouched picture: *packed (free with tvn_rle_free) and its length in *length.
    "tvn_image_compress_rle": (c_int, [c_void_p, POINTER(POINTER(c_ubyte)), POINTER(c_uint32)]),
    # Frees a stream of tvn_image_compress_rle.
    "tvn_rle_free": (None, [POINTER(c_ubyte)]),
    # Writes a 32-bit TGA file.
    "tvn_image_save_tga": (c_int, [c_void_p, c_char_p]),
    # The properties dialog; *accepted is 1 after OK, 0 after Cancel or none shown.
    "tvn_image_show_properties": (c_int, [c_void_p, c_void_p, c_int, PROGRESS, c_void_p, POINTER(c_int)]),
    # The run of files that file_name starts.
    "tvn_image_set_open": (c_int, [c_char_p, POINTER(c_void_p)]),
    # A copy of an image set.
    "tvn_image_set_copy": (c_int, [c_void_p, POINTER(c_void_p)]),
    # Frees an image set and its frames.
    "tvn_image_set_destroy": (None, [c_void_p]),
    # The calling thread's last failure on this set; an empty text when there is none.
    "tvn_image_set_last_error": (c_char_p, [c_void_p]),
    # The number of frames.
    "tvn_image_set_frame_count": (c_uint, [c_void_p]),
    # The frame as a picture owned by the set, valid as CRGBAImageSet::getFrame's pointer is (at least
    # until the next tvn_image_set_frame on the set).
    "tvn_image_set_frame": (c_int, [c_void_p, c_uint, POINTER(c_void_p)]),
    # From the next preload pass on, keeps n frames behind and n ahead of the current one loaded.
    "tvn_image_set_keep_ready": (c_int, [c_void_p, c_uint]),
    # Caps the bytes of frames the set keeps loaded beyond its keep_ready floor (0: no cap); from the next
    # preload pass on, the frames farthest behind the current one go first.
    "tvn_image_set_memory_budget": (c_int, [c_void_p, c_uint64]),
    # Marks the whole set for loading and queues a preload pass.
    "tvn_image_set_preload_all": (c_int, [c_void_p]),
    # Runs a preload pass on the calling thread.
    "tvn_image_set_preload_frames": (c_int, [c_void_p]),
    # Calls proc after each preload pass, on the preloader's thread.
    "tvn_image_set_preload_callback": (c_int, [c_void_p, PRELOAD, c_void_p]),
    # A cache reader and writer.
    "tvn_cache_create": (c_int, [POINTER(c_void_p)]),
    # Frees it, closing its files.
    "tvn_cache_destroy": (None, [c_void_p]),
    # The calling thread's last failure on this cache; an empty text when there is none.
    "tvn_cache_last_error": (c_char_p, [c_void_p]),
    # Opens a cache file (writable: created when missing, with no entries); *handle gets its number.
    "tvn_cache_open": (c_int, [c_void_p, c_char_p, c_int, POINTER(c_uint32)]),
    # Closes a cache file.
    "tvn_cache_close": (c_int, [c_void_p, c_uint32]),
    # Opens the file again for writing.
    "tvn_cache_reopen_as_writable": (c_int, [c_void_p, c_uint32]),
    # Reads the entry list again from the file; on failure the old list stays.
    "tvn_cache_reopen": (c_int, [c_void_p, c_uint32]),
    # *writable gets 1 for a file open for writing.
    "tvn_cache_is_writable": (c_int, [c_void_p, c_uint32, POINTER(c_int)]),
    # The file's name; null for an unknown handle.
    "tvn_cache_file_name": (c_char_p, [c_void_p, c_uint32]),
    # *size gets the file's size in bytes.
    "tvn_cache_file_size": (c_int, [c_void_p, c_uint32, POINTER(c_uint32)]),
    # *count gets the number of entries.
    "tvn_cache_entry_count": (c_int, [c_void_p, c_uint32, POINTER(c_uint)]),
    # *info gets an entry's name (pointing into the cache) and frame count.
    "tvn_cache_entry_info": (c_int, [c_void_p, c_uint32, c_uint, POINTER(CacheEntry)]),
    # Writes every entry not still in place; progress may stop it; a failed save leaves the file as it
    # was.
    "tvn_cache_save": (c_int, [c_void_p, c_uint32, CACHE_PROGRESS, c_void_p]),
    # Appends the numbered frame run that starts at image_file_name as an entry.
    "tvn_cache_add_entry": (c_int, [c_void_p, c_uint32, c_char_p]),
    # Deletes an entry.
    "tvn_cache_delete_entry": (c_int, [c_void_p, c_uint32, c_uint]),
    # The size of a frame of an entry.
    "tvn_cache_frame_size": (c_int, [c_void_p, c_uint32, c_uint, c_uint, POINTER(c_uint32), POINTER(c_uint32)]),
    # Writes a frame's width x height words into pixels, bottom row first.
    "tvn_cache_frame_data": (c_int, [c_void_p, c_uint32, c_uint, c_uint, POINTER(c_uint32)]),
    # The source file name of a frame.
    "tvn_cache_frame_name": (c_char_p, [c_void_p, c_uint32, c_uint, c_uint]),
    # ---- host.h
    # Installs the proc that receives every message box (null restores the default).
    "tvnSetMessageProc": (None, [MESSAGE_PROC, c_void_p]),
    # Installs the proc that shows the open-file dialog (null restores the default).
    "tvnSetOpenFileProc": (None, [OPEN_FILE_PROC, c_void_p]),
    # Installs a copy of *procs (every member set), or null to restore the library's own.
    "tvnSetFileProcs": (None, [POINTER(FileProcs)]),
    # The library's own file procs, for a host's procs to pass on what they do not serve.
    "tvnGetSystemFileProcs": (None, [POINTER(FileProcs)]),
    # A bitmap handle made from rows; null on failure; release with tvnDeleteBitmap.
    "tvnCreateBitmap": (c_void_p, [c_int, c_int, c_int, c_void_p, c_int]),
    # Releases a handle of tvnCreateBitmap.
    "tvnDeleteBitmap": (None, [c_void_p]),
    # Installs the proc that shows the properties dialog (null restores the default).
    "tvnSetPropertiesDialogProc": (None, [PROPERTIES_DIALOG_PROC, c_void_p]),
    # Copies at most size - 1 characters of a control's text; returns the whole length (-1 for no such
    # control).
    "tvnPropGetText": (c_int, [c_void_p, c_int, POINTER(c_char), c_int]),
    # 1 when the button, radio or check box is checked.
    "tvnPropIsChecked": (c_int, [c_void_p, c_int]),
    # 1 when the control is enabled.
    "tvnPropIsEnabled": (c_int, [c_void_p, c_int]),
    # A track bar's position (-1 for no track bar), and its range and page size when asked for.
    "tvnPropGetTrackBar": (c_int, [c_void_p, c_int, POINTER(c_int), POINTER(c_int), POINTER(c_int)]),
    # Typing: replaces an edit's text and gives it the focus.
    "tvnPropType": (c_int, [c_void_p, c_int, c_char_p]),
    # A click on a button, radio or check box, as on the real dialog (1 is OK, 2 Cancel).
    "tvnPropClick": (c_int, [c_void_p, c_int]),
    # Moves a track bar to the position, kept within its range.
    "tvnPropSetTrackBar": (c_int, [c_void_p, c_int, c_int]),
    # Draws the colour swatch (1011): 1 and its colour when it is painted, 0 when it stays blank (every
    # mode but chromakey).
    "tvnPropDrawSwatch": (c_int, [c_void_p, POINTER(c_uint32)]),
    # 0 while the dialog is open, 1 after an accepted OK, 2 after Cancel.
    "tvnPropGetEndCode": (c_int, [c_void_p]),
    # Installs the colour choice behind the colour button; without one the choice counts as cancelled.
    "tvnPropSetColorProc": (None, [c_void_p, CHOOSE_COLOR_PROC, c_void_p]),
    # Sets the number of threads of one heavy operation (0: the default, 1: a single thread).
    "tvnSetWorkerCount": (None, [c_uint]),
    # The library's version as "major.minor.patch".
    "tvnVersion": (c_char_p, []),
    # ---- pixel.h
    # The red byte of a pixel word.
    "tvnGetRValue": (c_ubyte, [c_uint32]),
    # The green byte of a pixel word.
    "tvnGetGValue": (c_ubyte, [c_uint32]),
    # The blue byte of a pixel word.
    "tvnGetBValue": (c_ubyte, [c_uint32]),
    # The alpha byte of a pixel word.
    "tvnGetAValue": (c_ubyte, [c_uint32]),
    # The pixel word of red, green, blue and alpha.
    "tvnRGBA": (c_uint32, [c_ubyte, c_ubyte, c_ubyte, c_ubyte]),
    # Truncated Euclidean distance over red, green and blue (0..441); alpha ignored.
    "tvnGetColorDist": (c_uint32, [c_uint32, c_uint32]),
    # Converts a raw 1, 15/16, 24 or 32 (10-10-10) bit value in place; 0 for other depths.
    "tvnNormalizePel": (c_int, [POINTER(c_uint32), c_ubyte]),
    # Each colour channel times mul, divided by div, low 8 bits kept; alpha unchanged.
    "tvnMulPel": (c_uint32, [c_uint32, c_uint32, c_uint32]),
    # Writes value into count words.
    "tvnFillUlong": (None, [POINTER(c_uint32), c_uint32, c_uint32]),
    # Exchanges red and blue of a pixel word.
    "tvnSwapRB": (None, [POINTER(c_uint32)]),
    # ---- image.h
    # Box blur of a width x height picture into (width+2k) x (height+2k) words, k = *pKernel.
    "tvn2PassBlur": (None, [POINTER(c_uint32), POINTER(c_uint32), c_uint32, c_uint32, POINTER(c_uint)]),
}

# Added after the first release: declared only when the loaded library exports them.
OPTIONAL_PROTOTYPES = {
}
