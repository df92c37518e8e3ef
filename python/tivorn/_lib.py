"""Finds the tivorn library and declares its C interface (tivorn/tivorn_c.h and
tivorn/host.h) for ctypes."""
import ctypes
import ctypes.util
import os
import sys
from pathlib import Path
from typing import Iterator, Optional

from ._prototypes import OPTIONAL_PROTOTYPES, PROTOTYPES
from ._types import (CACHE_PROGRESS, CHOOSE_COLOR_PROC, MESSAGE_PROC, OPEN_FILE_PROC, PRELOAD,  # noqa: F401
                     PROGRESS, PROPERTIES_DIALOG_PROC, CacheEntry, FileProcs, FileTime, Transparency)

ABI_VERSION = 1

OK, FAILED, EXCEPTION, BAD_ARG = 0, -1, -2, -3


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
_BYTES = ctypes.POINTER(ctypes.c_ubyte)  # a run-length stream of the library

# Every function of the C interface gets its prototype (_prototypes.py, made from
# include/tivorn/c_functions.inc); an optional one only when the library exports it.
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
