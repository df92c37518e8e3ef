"""ctypes mirrors of the records and callback types that tivorn/tivorn_c.h and
tivorn/host.h declare by hand; the functions that use them are declared from the
C interface's list (_prototypes.py)."""
import ctypes

_P = ctypes.c_void_p
_INT = ctypes.c_int
_UINT = ctypes.c_uint
_U32 = ctypes.c_uint32
_STR = ctypes.c_char_p


class Transparency(ctypes.Structure):
    """tvn_transparency: the 20 bytes of the transparency record."""
    _fields_ = [("mode", ctypes.c_ubyte), ("const_transp", ctypes.c_ubyte),
                ("linear_top", ctypes.c_ubyte), ("linear_left", ctypes.c_ubyte),
                ("linear_right", ctypes.c_ubyte), ("linear_bottom", ctypes.c_ubyte),
                ("ellipse_center", ctypes.c_ubyte), ("ellipse_border", ctypes.c_ubyte),
                ("chromakey_color", _U32), ("chromakey_soft", _INT),
                ("chromakey_deviation", _U32)]


class CacheEntry(ctypes.Structure):
    """tvn_cache_entry: a cache entry's name and frame count."""
    _fields_ = [("file_name", _STR), ("frame_count", _U32)]


class FileTime(ctypes.Structure):
    """FILETIME: 100-nanosecond intervals since 1601, in two 32-bit words."""
    _fields_ = [("dwLowDateTime", _U32), ("dwHighDateTime", _U32)]


class FileProcs(ctypes.Structure):
    """TVN_FILE_PROCS: the procs every file of the library goes through."""
    _fields_ = [("user", _P),
                ("open", ctypes.CFUNCTYPE(_P, _STR, _INT, _P)),
                ("read", ctypes.CFUNCTYPE(_INT, _P, _P, _U32, ctypes.POINTER(_U32), _P)),
                ("write", ctypes.CFUNCTYPE(_INT, _P, _P, _U32, ctypes.POINTER(_U32), _P)),
                ("seek", ctypes.CFUNCTYPE(_INT, _P, ctypes.c_int64, _INT, ctypes.POINTER(ctypes.c_uint64), _P)),
                ("size", ctypes.CFUNCTYPE(_U32, _P, _P)),
                ("truncate", ctypes.CFUNCTYPE(_INT, _P, _P)),
                ("sync", ctypes.CFUNCTYPE(_INT, _P, _P)),
                ("time", ctypes.CFUNCTYPE(_INT, _P, ctypes.POINTER(FileTime), _P)),
                ("close", ctypes.CFUNCTYPE(None, _P, _P)),
                ("exists", ctypes.CFUNCTYPE(_INT, _STR, _P)),
                ("remove", ctypes.CFUNCTYPE(_INT, _STR, _P))]


PROGRESS = ctypes.CFUNCTYPE(_INT, ctypes.c_ubyte, _P)
CACHE_PROGRESS = ctypes.CFUNCTYPE(_INT, _P, _UINT, _UINT)
PRELOAD = ctypes.CFUNCTYPE(None, _P)
MESSAGE_PROC = ctypes.CFUNCTYPE(None, _STR, _STR, _P)
OPEN_FILE_PROC = ctypes.CFUNCTYPE(_INT, _STR, _P, _P, _INT, _P)  # filters: a list of zero-ended texts
PROPERTIES_DIALOG_PROC = ctypes.CFUNCTYPE(None, _P, _P, _P)
CHOOSE_COLOR_PROC = ctypes.CFUNCTYPE(_INT, ctypes.POINTER(_U32), ctypes.POINTER(_U32), _P)
