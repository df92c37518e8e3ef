"""Finds the tivorn library and declares its C interface (tivorn/tivorn_c.h and
tivorn/host.h) for ctypes."""
import ctypes
import ctypes.util
import os
import sys
from pathlib import Path
from typing import Iterator, Optional

ABI_VERSION = 1

OK, FAILED, EXCEPTION, BAD_ARG = 0, -1, -2, -3


class Transparency(ctypes.Structure):
    """tvn_transparency: the 20 bytes of the transparency record."""
    _fields_ = [("mode", ctypes.c_ubyte), ("const_transp", ctypes.c_ubyte),
                ("linear_top", ctypes.c_ubyte), ("linear_left", ctypes.c_ubyte),
                ("linear_right", ctypes.c_ubyte), ("linear_bottom", ctypes.c_ubyte),
                ("ellipse_center", ctypes.c_ubyte), ("ellipse_border", ctypes.c_ubyte),
                ("chromakey_color", ctypes.c_uint32), ("chromakey_soft", ctypes.c_int),
                ("chromakey_deviation", ctypes.c_uint32)]


class CacheEntry(ctypes.Structure):
    """tvn_cache_entry: a cache entry's name and frame count."""
    _fields_ = [("file_name", ctypes.c_char_p), ("frame_count", ctypes.c_uint32)]


def _candidates() -> Iterator[str]:
    env = os.environ.get("TIVORN_LIBRARY")
    if env:
        yield env
    here = Path(__file__).resolve().parent
    for pattern in ("libtivorn.so*", "tivorn.dll", "libtivorn*.dylib"):
        yield from (str(p) for p in sorted(here.glob(pattern)))
    found = ctypes.util.find_library("tivorn")
    if found:
        yield found
    yield "tivorn.dll" if sys.platform == "win32" else "libtivorn.so.1"


def _load() -> "tuple[ctypes.CDLL, str]":
    errors = []
    for name in _candidates():
        try:
            return ctypes.CDLL(name), name
        except OSError as e:
            errors.append(f"{name}: {e}")
    raise ImportError("tivorn library not found (set TIVORN_LIBRARY to its path); tried:\n  "
                      + "\n  ".join(errors))


lib, LIBRARY_PATH = _load()

# ---- The C surface: types, callbacks and one row per function ------------------------
# Kept in this one block, in the headers' order, so that it can be generated from a
# single declaration of the interface later.
_P = ctypes.c_void_p
_PP = ctypes.POINTER(ctypes.c_void_p)
_U32 = ctypes.c_uint32
_U32P = ctypes.POINTER(ctypes.c_uint32)
_UINT = ctypes.c_uint
_UINTP = ctypes.POINTER(ctypes.c_uint)
_INT = ctypes.c_int
_INTP = ctypes.POINTER(ctypes.c_int)
_STR = ctypes.c_char_p
_BYTES = ctypes.POINTER(ctypes.c_ubyte)
_BYTESP = ctypes.POINTER(_BYTES)
_TRANSP = ctypes.POINTER(Transparency)

PROGRESS = ctypes.CFUNCTYPE(_INT, ctypes.c_ubyte, _P)
CACHE_PROGRESS = ctypes.CFUNCTYPE(_INT, _P, _UINT, _UINT)
PRELOAD = ctypes.CFUNCTYPE(None, _P)
MESSAGE_PROC = ctypes.CFUNCTYPE(None, _STR, _STR, _P)
OPEN_FILE_PROC = ctypes.CFUNCTYPE(_INT, _STR, _P, _P, _INT, _P)  # filters: a list of zero-ended texts
PROPERTIES_DIALOG_PROC = ctypes.CFUNCTYPE(None, _P, _P, _P)
CHOOSE_COLOR_PROC = ctypes.CFUNCTYPE(_INT, _U32P, _U32P, _P)

# name: (result, arguments). Statuses are checked by the callers.
PROTOTYPES = {
    # tivorn_c.h
    "tvn_abi_version": (_UINT, []),
    "tvn_image_create": (_INT, [_PP]),
    "tvn_image_create_size": (_INT, [_U32, _U32, _PP]),
    "tvn_image_create_pixels": (_INT, [_P, _U32, _U32, _PP]),
    "tvn_image_create_rle": (_INT, [_P, _U32, _U32, _U32, _PP]),
    "tvn_image_copy": (_INT, [_P, _PP]),
    "tvn_image_assign": (_INT, [_P, _P]),
    "tvn_image_destroy": (None, [_P]),
    "tvn_image_last_error": (_STR, [_P]),
    "tvn_image_load": (_INT, [_P, _STR, _INT]),
    "tvn_image_reload": (_INT, [_P, _INT, PROGRESS, _P]),
    "tvn_image_pixels": (_U32P, [_P]),
    "tvn_image_width": (_U32, [_P]),
    "tvn_image_height": (_U32, [_P]),
    "tvn_image_width_orig": (_U32, [_P]),
    "tvn_image_height_orig": (_U32, [_P]),
    "tvn_image_has_alpha": (_INT, [_P]),
    "tvn_image_file_name": (_STR, [_P]),
    "tvn_image_mask_file_name": (_STR, [_P]),
    "tvn_image_blur_kernel": (_UINT, [_P]),
    "tvn_image_get_transparency": (_INT, [_P, _TRANSP]),
    "tvn_image_set_size": (_INT, [_P, _U32, _U32, _INT, PROGRESS, _P]),
    "tvn_image_set_size_rough": (_INT, [_P, _U32, _U32]),
    "tvn_image_blur": (_INT, [_P, _UINTP]),
    "tvn_image_set_transparency": (_INT, [_P, _TRANSP, _STR]),
    "tvn_image_save_alpha": (_INT, [_P]),
    "tvn_image_restore_alpha": (_INT, [_P, _INT, PROGRESS, _P]),
    "tvn_image_convert_to_grayscale": (_INT, [_P]),
    "tvn_image_convert_to_bgra": (_INT, [_P]),
    "tvn_image_fill_24bit": (_INT, [_P, _P]),
    "tvn_image_fill_32bit": (_INT, [_P, _P]),
    "tvn_image_flip_horizontal": (_INT, [_P]),
    "tvn_image_flip_vertical": (_INT, [_P]),
    "tvn_image_trim_by_alpha": (_INT, [_P, _U32P, _U32P]),
    "tvn_image_stretch_horizontally": (_INT, [_P, _U32]),
    "tvn_image_from_handle": (_INT, [_P, _P]),
    "tvn_image_compress_rle": (_INT, [_P, _BYTESP, _U32P]),
    "tvn_rle_free": (None, [_BYTES]),
    "tvn_image_save_tga": (_INT, [_P, _STR]),
    "tvn_image_show_properties": (_INT, [_P, _P, _INT, PROGRESS, _P, _INTP]),
    "tvn_image_set_open": (_INT, [_STR, _PP]),
    "tvn_image_set_copy": (_INT, [_P, _PP]),
    "tvn_image_set_destroy": (None, [_P]),
    "tvn_image_set_last_error": (_STR, [_P]),
    "tvn_image_set_frame_count": (_UINT, [_P]),
    "tvn_image_set_frame": (_INT, [_P, _UINT, _PP]),
    "tvn_image_set_keep_ready": (_INT, [_P, _UINT]),
    "tvn_image_set_preload_all": (_INT, [_P]),
    "tvn_image_set_preload_frames": (_INT, [_P]),
    "tvn_image_set_preload_callback": (_INT, [_P, PRELOAD, _P]),
    "tvn_cache_create": (_INT, [_PP]),
    "tvn_cache_destroy": (None, [_P]),
    "tvn_cache_last_error": (_STR, [_P]),
    "tvn_cache_open": (_INT, [_P, _STR, _INT, _U32P]),
    "tvn_cache_close": (_INT, [_P, _U32]),
    "tvn_cache_reopen_as_writable": (_INT, [_P, _U32]),
    "tvn_cache_reopen": (_INT, [_P, _U32]),
    "tvn_cache_is_writable": (_INT, [_P, _U32, _INTP]),
    "tvn_cache_file_name": (_STR, [_P, _U32]),
    "tvn_cache_file_size": (_INT, [_P, _U32, _U32P]),
    "tvn_cache_entry_count": (_INT, [_P, _U32, _UINTP]),
    "tvn_cache_entry_info": (_INT, [_P, _U32, _UINT, ctypes.POINTER(CacheEntry)]),
    "tvn_cache_save": (_INT, [_P, _U32, CACHE_PROGRESS, _P]),
    "tvn_cache_add_entry": (_INT, [_P, _U32, _STR]),
    "tvn_cache_delete_entry": (_INT, [_P, _U32, _UINT]),
    "tvn_cache_frame_size": (_INT, [_P, _U32, _UINT, _UINT, _U32P, _U32P]),
    "tvn_cache_frame_data": (_INT, [_P, _U32, _UINT, _UINT, _P]),
    "tvn_cache_frame_name": (_STR, [_P, _U32, _UINT, _UINT]),
    # host.h
    "tvnSetMessageProc": (None, [MESSAGE_PROC, _P]),
    "tvnSetOpenFileProc": (None, [OPEN_FILE_PROC, _P]),
    "tvnCreateBitmap": (_P, [_INT, _INT, _INT, _P, _INT]),
    "tvnSetFileProcs": (None, [_P]),
    "tvnGetSystemFileProcs": (None, [_P]),
    "tvnDeleteBitmap": (None, [_P]),
    "tvnSetPropertiesDialogProc": (None, [PROPERTIES_DIALOG_PROC, _P]),
    "tvnPropGetText": (_INT, [_P, _INT, _P, _INT]),
    "tvnPropIsChecked": (_INT, [_P, _INT]),
    "tvnPropIsEnabled": (_INT, [_P, _INT]),
    "tvnPropGetTrackBar": (_INT, [_P, _INT, _INTP, _INTP, _INTP]),
    "tvnPropType": (_INT, [_P, _INT, _STR]),
    "tvnPropClick": (_INT, [_P, _INT]),
    "tvnPropSetTrackBar": (_INT, [_P, _INT, _INT]),
    "tvnPropDrawSwatch": (_INT, [_P, _U32P]),
    "tvnPropGetEndCode": (_INT, [_P]),
    "tvnPropSetColorProc": (None, [_P, CHOOSE_COLOR_PROC, _P]),
    "tvnVersion": (_STR, []),
}
# Declared only when the loaded library exports them (newer than the oldest this
# package runs on).
OPTIONAL_PROTOTYPES = {
    "tvnSetWorkerCount": (None, [_UINT]),  # 0: the library's default, 1: a single thread
}
# ---- end of the C surface ------------------------------------------------------------

for _name, (_res, _args) in PROTOTYPES.items():
    _fn = getattr(lib, _name)
    _fn.restype = _res
    _fn.argtypes = _args
for _name, (_res, _args) in OPTIONAL_PROTOTYPES.items():
    if hasattr(lib, _name):
        _fn = getattr(lib, _name)
        _fn.restype = _res
        _fn.argtypes = _args

if lib.tvn_abi_version() != ABI_VERSION:
    raise ImportError(f"tivorn library has C interface version {lib.tvn_abi_version()}, "
                      f"this package needs {ABI_VERSION}")


def has(name: str) -> bool:
    """Whether the loaded library exports the function `name`."""
    return hasattr(lib, name)


def path_bytes(path: "os.PathLike[str] | str") -> bytes:
    """File names go to the library as bytes: the file system's encoding, or on
    Windows the ANSI code page the DLL's file calls take (not Python's UTF-8)."""
    if sys.platform == "win32":
        return os.fspath(path).encode("mbcs")
    return os.fsencode(path)


def text(value: Optional[bytes]) -> Optional[str]:
    """A text the library returned, decoded as file names are (None stays None)."""
    if value is None:
        return None
    return value.decode("mbcs", "replace") if sys.platform == "win32" else os.fsdecode(value)


def message(value: Optional[bytes]) -> str:
    """A message of the library: UTF-8 on Linux, the ANSI code page on Windows."""
    if not value:
        return ""
    return value.decode("mbcs" if sys.platform == "win32" else "utf-8", "replace")
