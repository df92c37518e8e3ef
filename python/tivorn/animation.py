"""tivorn.ImageSet (a numbered run of picture files) and tivorn.Cache (an
animation cache file), both over the C interface."""
import ctypes

from . import _lib
from ._errors import TivornError, check
from .image import Image

lib = _lib.lib


class ImageSet:
    """The frames walk0007.tga, walk0008.tga, ... found from one of their names.
    Frames are Images owned by the set (loaded in the background); use
    frame.copy() to keep one beyond the set."""

    def __init__(self, path):
        handle = ctypes.c_void_p()
        check(lib.tvn_image_set_open(_lib.path_bytes(path), ctypes.byref(handle)), None, "ImageSet")
        self._h = handle.value

    def __del__(self, _destroy=lib.tvn_image_set_destroy):  # bound early: safe at interpreter exit
        if getattr(self, "_h", None):
            _destroy(self._h)
            self._h = None

    def __len__(self):
        return lib.tvn_image_set_frame_count(self._h)

    def __getitem__(self, index):
        if index < 0:
            index += len(self)
        if not 0 <= index < len(self):
            raise IndexError(index)
        frame = ctypes.c_void_p()
        check(lib.tvn_image_set_frame(self._h, index, ctypes.byref(frame)),
              lambda: lib.tvn_image_set_last_error(self._h), f"frame {index}")
        return Image(frame.value, _owner=self)

    def __iter__(self):
        return (self[i] for i in range(len(self)))


class Cache:
    """An animation cache file: entries of frames. Use as a context manager;
    writable=True creates the file if missing and allows add() and save()."""

    def __init__(self, path, writable=False):
        handle = ctypes.c_void_p()
        check(lib.tvn_cache_create(ctypes.byref(handle)), None, "Cache")
        self._h = handle.value
        self._file = ctypes.c_uint32(0)
        try:
            self._check(lib.tvn_cache_open(self._h, _lib.path_bytes(path), int(writable),
                                           ctypes.byref(self._file)), f"opening {path}")
        except TivornError:
            self.close()
            raise

    def _check(self, status, what):
        check(status, lambda: lib.tvn_cache_last_error(self._h), what)

    def close(self, _destroy=lib.tvn_cache_destroy):  # bound early: safe at interpreter exit
        if getattr(self, "_h", None):
            _destroy(self._h)  # closes its open file
            self._h = None

    __del__ = close

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __len__(self):
        n = ctypes.c_uint()
        self._check(lib.tvn_cache_entry_count(self._h, self._file, ctypes.byref(n)), "entry count")
        return n.value

    def entries(self):
        """[(source file name, frame count)] in the cache's order."""
        out = []
        for i in range(len(self)):
            e = _lib.CacheEntry()
            self._check(lib.tvn_cache_entry_info(self._h, self._file, i, ctypes.byref(e)), f"entry {i}")
            out.append((e.file_name.decode("utf-8", "replace"), e.frame_count))
        return out

    def add(self, first_frame_path):
        self._check(lib.tvn_cache_add_entry(self._h, self._file, _lib.path_bytes(first_frame_path)), "add")

    def delete(self, entry):
        self._check(lib.tvn_cache_delete_entry(self._h, self._file, entry), "delete")

    def save(self, progress=None):
        """Writes the entries; progress(done, total) returning False stops it."""
        proc = _lib.CACHE_PROGRESS(lambda _u, done, total: 0 if progress(done, total) is False else 1) \
            if progress else _lib.CACHE_PROGRESS()
        self._check(lib.tvn_cache_save(self._h, self._file, proc, None), "save")

    def frame(self, entry, index):
        """One frame as a new Image."""
        w, h = ctypes.c_uint32(), ctypes.c_uint32()
        self._check(lib.tvn_cache_frame_size(self._h, self._file, entry, index, ctypes.byref(w), ctypes.byref(h)),
                    f"frame {entry}/{index}")
        pixels = (ctypes.c_uint32 * max(1, w.value * h.value))()
        self._check(lib.tvn_cache_frame_data(self._h, self._file, entry, index, pixels), f"frame {entry}/{index}")
        image = ctypes.c_void_p()
        check(lib.tvn_image_create_pixels(pixels, w.value, h.value, ctypes.byref(image)), None, "frame image")
        return Image(image.value)
