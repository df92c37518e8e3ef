"""tivorn.ImageSet (a numbered run of picture files) and tivorn.Cache (an
animation cache file), both over the C interface."""
import ctypes
from typing import Callable, Iterator, List, Optional, Tuple

from . import _lib
from ._errors import TivornError, check
from .image import Image, PathLike

lib = _lib.lib


class ImageSet:
    """The frames walk0007.tga, walk0008.tga, ... found from one of their names.
    Frames are Images owned by the set (loaded in the background); use
    frame.copy() to keep one beyond the set."""

    def __init__(self, path: PathLike, _handle: Optional[int] = None) -> None:
        """Finds the run that path belongs to; frames load when asked for."""
        self._preload = None
        self._budget = 0
        if _handle is None:
            handle = ctypes.c_void_p()
            check(lib.tvn_image_set_open(_lib.path_bytes(path), ctypes.byref(handle)), None, "ImageSet")
            _handle = handle.value
        self._h = _handle

    def __del__(self, _destroy=lib.tvn_image_set_destroy):  # bound early: safe at interpreter exit
        if getattr(self, "_h", None):
            _destroy(self._h)  # waits for a running preload pass; the callback outlives it
            self._h = None

    def _check(self, status: int, what: str) -> None:
        check(status, lambda: lib.tvn_image_set_last_error(self._h), what)

    def copy(self) -> "ImageSet":
        """A set of its own over the same files."""
        handle = ctypes.c_void_p()
        self._check(lib.tvn_image_set_copy(self._h, ctypes.byref(handle)), "copy")
        return ImageSet("", _handle=handle.value)

    def __len__(self) -> int:
        return lib.tvn_image_set_frame_count(self._h)

    def __getitem__(self, index: int) -> Image:
        """Frame index (negative counts from the end), valid while the set lives."""
        if index < 0:
            index += len(self)
        if not 0 <= index < len(self):
            raise IndexError(index)
        frame = ctypes.c_void_p()
        self._check(lib.tvn_image_set_frame(self._h, index, ctypes.byref(frame)), f"frame {index}")
        return Image(frame.value, _owner=self)

    def __iter__(self) -> Iterator[Image]:
        return (self[i] for i in range(len(self)))

    def keep_ready(self, count: int) -> None:
        """How many frames the background loader keeps loaded ahead of the current one."""
        self._check(lib.tvn_image_set_keep_ready(self._h, count), "keep_ready")

    @property
    def memory_budget(self) -> int:
        """Bytes of frames the set keeps loaded beyond its keep_ready floor (0: no cap)."""
        return self._budget

    @memory_budget.setter
    def memory_budget(self, size: int) -> None:
        self._check(lib.tvn_image_set_memory_budget(self._h, int(size)), "memory_budget")
        self._budget = int(size)

    def preload_all(self) -> None:
        """Has the background loader load every frame."""
        self._check(lib.tvn_image_set_preload_all(self._h), "preload_all")

    def preload_frames(self) -> None:
        """Queues a preload pass for the frames around the current one."""
        self._check(lib.tvn_image_set_preload_frames(self._h), "preload_frames")

    def on_preload(self, callback: Optional[Callable[[], None]]) -> None:
        """callback() after every preload pass, on the loader's thread (None: none)."""
        proc = _lib.PRELOAD(lambda _user: callback()) if callback else _lib.PRELOAD()
        self._check(lib.tvn_image_set_preload_callback(self._h, proc, None), "on_preload")
        self._preload = proc  # the library keeps calling it


class Cache:
    """An animation cache file: entries of frames. Use as a context manager;
    writable=True creates the file if missing and allows add() and save()."""

    def __init__(self, path: PathLike, writable: bool = False) -> None:
        """Opens (or with writable, creates) the cache file at path."""
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

    def _check(self, status: int, what: str) -> None:
        check(status, lambda: lib.tvn_cache_last_error(self._h), what)

    def close(self, _close=lib.tvn_cache_close, _destroy=lib.tvn_cache_destroy) -> None:
        """Closes the file (without saving) and frees the cache."""
        if getattr(self, "_h", None):
            if self._file.value:
                _close(self._h, self._file)
            _destroy(self._h)
            self._h = None

    __del__ = close

    def __enter__(self) -> "Cache":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    @property
    def file_name(self) -> Optional[str]:
        """The cache file's name as it was opened."""
        return _lib.text(lib.tvn_cache_file_name(self._h, self._file))

    @property
    def file_size(self) -> int:
        """The cache file's size in bytes."""
        size = ctypes.c_uint32()
        self._check(lib.tvn_cache_file_size(self._h, self._file, ctypes.byref(size)), "file_size")
        return size.value

    @property
    def writable(self) -> bool:
        """Whether add(), delete() and save() are allowed."""
        flag = ctypes.c_int()
        self._check(lib.tvn_cache_is_writable(self._h, self._file, ctypes.byref(flag)), "writable")
        return bool(flag.value)

    def reopen(self) -> None:
        """Reads the file again, dropping unsaved changes."""
        self._check(lib.tvn_cache_reopen(self._h, self._file), "reopen")

    def reopen_as_writable(self) -> None:
        """Makes a cache opened for reading writable."""
        self._check(lib.tvn_cache_reopen_as_writable(self._h, self._file), "reopen_as_writable")

    def __len__(self) -> int:
        n = ctypes.c_uint()
        self._check(lib.tvn_cache_entry_count(self._h, self._file, ctypes.byref(n)), "entry count")
        return n.value

    def entries(self) -> List[Tuple[str, int]]:
        """[(name the entry was added under, frame count)] in the cache's order."""
        out = []
        for i in range(len(self)):
            e = _lib.CacheEntry()
            self._check(lib.tvn_cache_entry_info(self._h, self._file, i, ctypes.byref(e)), f"entry {i}")
            out.append((_lib.text(e.file_name) or "", e.frame_count))
        return out

    def add(self, first_frame_path: PathLike) -> None:
        """Adds the numbered frame run that starts at first_frame_path (written by save())."""
        self._check(lib.tvn_cache_add_entry(self._h, self._file, _lib.path_bytes(first_frame_path)), "add")

    def delete(self, entry: int) -> None:
        """Removes entry number entry (written by save())."""
        self._check(lib.tvn_cache_delete_entry(self._h, self._file, entry), "delete")

    def save(self, progress: Optional[Callable[[int, int], Optional[bool]]] = None) -> None:
        """Writes the entries; progress(done, total) returning False stops it."""
        proc = _lib.CACHE_PROGRESS(lambda _u, done, total: 0 if progress(done, total) is False else 1) \
            if progress else _lib.CACHE_PROGRESS()
        self._check(lib.tvn_cache_save(self._h, self._file, proc, None), "save")

    def frame_size(self, entry: int, index: int) -> Tuple[int, int]:
        """(width, height) of frame index of entry."""
        w, h = ctypes.c_uint32(), ctypes.c_uint32()
        self._check(lib.tvn_cache_frame_size(self._h, self._file, entry, index, ctypes.byref(w), ctypes.byref(h)),
                    f"frame {entry}/{index}")
        return w.value, h.value

    def frame_name(self, entry: int, index: int) -> Optional[str]:
        """The source file of frame index of entry."""
        return _lib.text(lib.tvn_cache_frame_name(self._h, self._file, entry, index))

    def frame(self, entry: int, index: int) -> Image:
        """One frame as a new Image (numpy, Pillow and notebooks see it as any Image)."""
        w, h = self.frame_size(entry, index)
        pixels = (ctypes.c_uint32 * max(1, w * h))()
        self._check(lib.tvn_cache_frame_data(self._h, self._file, entry, index, pixels), f"frame {entry}/{index}")
        return Image._from_words(pixels, w, h)

    def frames(self, entry: int) -> Iterator[Image]:
        """Every frame of entry, in order, each a new Image."""
        count = self.entries()[entry][1]
        return (self.frame(entry, i) for i in range(count))
