"""Finds the tivorn library and declares the C interface (tivorn/tivorn_c.h)."""
import ctypes
import ctypes.util
import os
import sys
from pathlib import Path

ABI_VERSION = 1

OK, FAILED, EXCEPTION, BAD_ARG = 0, -1, -2, -3

PROGRESS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_ubyte, ctypes.c_void_p)
CACHE_PROGRESS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_uint, ctypes.c_uint)
PRELOAD = ctypes.CFUNCTYPE(None, ctypes.c_void_p)


class Transparency(ctypes.Structure):
    _fields_ = [("mode", ctypes.c_ubyte), ("const_transp", ctypes.c_ubyte),
                ("linear_top", ctypes.c_ubyte), ("linear_left", ctypes.c_ubyte),
                ("linear_right", ctypes.c_ubyte), ("linear_bottom", ctypes.c_ubyte),
                ("ellipse_center", ctypes.c_ubyte), ("ellipse_border", ctypes.c_ubyte),
                ("chromakey_color", ctypes.c_uint32), ("chromakey_soft", ctypes.c_int),
                ("chromakey_deviation", ctypes.c_uint32)]


class CacheEntry(ctypes.Structure):
    _fields_ = [("file_name", ctypes.c_char_p), ("frame_count", ctypes.c_uint32)]


def _candidates():
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


def _load():
    errors = []
    for name in _candidates():
        try:
            return ctypes.CDLL(name)
        except OSError as e:
            errors.append(f"{name}: {e}")
    raise ImportError("tivorn library not found (set TIVORN_LIBRARY to its path); tried:\n  "
                      + "\n  ".join(errors))


lib = _load()

_P = ctypes.c_void_p
_PP = ctypes.POINTER(ctypes.c_void_p)
_U32 = ctypes.c_uint32
_U32P = ctypes.POINTER(ctypes.c_uint32)
_UINTP = ctypes.POINTER(ctypes.c_uint)
_INT = ctypes.c_int
_STR = ctypes.c_char_p
_BYTESP = ctypes.POINTER(ctypes.c_ubyte)

# name: (result, arguments); every status-returning call is checked by the callers.
_PROTOTYPES = {
    "tvn_abi_version": (ctypes.c_uint, []),
    "tvn_image_create": (_INT, [_PP]),
    "tvn_image_create_pixels": (_INT, [_P, _U32, _U32, _PP]),
    "tvn_image_copy": (_INT, [_P, _PP]),
    "tvn_image_destroy": (None, [_P]),
    "tvn_image_last_error": (_STR, [_P]),
    "tvn_image_load": (_INT, [_P, _STR, _INT]),
    "tvn_image_pixels": (_U32P, [_P]),
    "tvn_image_width": (_U32, [_P]),
    "tvn_image_height": (_U32, [_P]),
    "tvn_image_width_orig": (_U32, [_P]),
    "tvn_image_height_orig": (_U32, [_P]),
    "tvn_image_has_alpha": (_INT, [_P]),
    "tvn_image_file_name": (_STR, [_P]),
    "tvn_image_set_size": (_INT, [_P, _U32, _U32, _INT, PROGRESS, _P]),
    "tvn_image_set_size_rough": (_INT, [_P, _U32, _U32]),
    "tvn_image_blur": (_INT, [_P, _UINTP]),
    "tvn_image_set_transparency": (_INT, [_P, ctypes.POINTER(Transparency), _STR]),
    "tvn_image_get_transparency": (_INT, [_P, ctypes.POINTER(Transparency)]),
    "tvn_image_restore_alpha": (_INT, [_P, _INT, PROGRESS, _P]),
    "tvn_image_convert_to_grayscale": (_INT, [_P]),
    "tvn_image_flip_horizontal": (_INT, [_P]),
    "tvn_image_flip_vertical": (_INT, [_P]),
    "tvn_image_save_tga": (_INT, [_P, _STR]),
    "tvn_image_set_open": (_INT, [_STR, _PP]),
    "tvn_image_set_destroy": (None, [_P]),
    "tvn_image_set_last_error": (_STR, [_P]),
    "tvn_image_set_frame_count": (ctypes.c_uint, [_P]),
    "tvn_image_set_frame": (_INT, [_P, ctypes.c_uint, _PP]),
    "tvn_cache_create": (_INT, [_PP]),
    "tvn_cache_destroy": (None, [_P]),
    "tvn_cache_last_error": (_STR, [_P]),
    "tvn_cache_open": (_INT, [_P, _STR, _INT, _U32P]),
    "tvn_cache_close": (_INT, [_P, _U32]),
    "tvn_cache_entry_count": (_INT, [_P, _U32, _UINTP]),
    "tvn_cache_entry_info": (_INT, [_P, _U32, ctypes.c_uint, ctypes.POINTER(CacheEntry)]),
    "tvn_cache_add_entry": (_INT, [_P, _U32, _STR]),
    "tvn_cache_delete_entry": (_INT, [_P, _U32, ctypes.c_uint]),
    "tvn_cache_save": (_INT, [_P, _U32, CACHE_PROGRESS, _P]),
    "tvn_cache_frame_size": (_INT, [_P, _U32, ctypes.c_uint, ctypes.c_uint, _U32P, _U32P]),
    "tvn_cache_frame_data": (_INT, [_P, _U32, ctypes.c_uint, ctypes.c_uint, _U32P]),
}

for _name, (_res, _args) in _PROTOTYPES.items():
    _fn = getattr(lib, _name)
    _fn.restype = _res
    _fn.argtypes = _args

if lib.tvn_abi_version() != ABI_VERSION:
    raise ImportError(f"tivorn library has C interface version {lib.tvn_abi_version()}, "
                      f"this package needs {ABI_VERSION}")


def path_bytes(path):
    """File names go to the library as bytes: the file system's encoding, or on
    Windows the ANSI code page the DLL's file calls take (not Python's UTF-8)."""
    if sys.platform == "win32":
        return os.fspath(path).encode("mbcs")
    return os.fsencode(path)
