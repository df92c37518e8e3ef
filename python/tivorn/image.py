"""tivorn.Image: a picture of the library, with numpy interop."""
import ctypes

from . import _lib
from ._errors import TivornError, check

lib = _lib.lib

FILTERS = {"box": 1, "bilinear": 2, "bicubic": 3, "gaussian": 4, "hamming": 5, "blackman": 6}
MODES = {"const": 0, "linear": 1, "ellipse": 2, "mask": 3, "original": 4, "chromakey": 5}


def _progress_proc(progress, failures):
    """Wraps a Python callable(percent) as the C progress proc: a false result
    (other than None) aborts; an exception aborts and is raised after the call."""
    if progress is None:
        return _lib.PROGRESS()

    def proc(percent, _user):
        try:
            return 0 if progress(percent) is False else 1
        except BaseException as e:  # carried across the C frames, raised after
            failures.append(e)
            return 0
    return _lib.PROGRESS(proc)


class Image:
    """A picture: 32-bit RGBA pixels. The library keeps rows bottom-up; this class
    presents them top-down (row 0 is the top), as images are in Python."""

    def __init__(self, _handle=None, _owner=None):
        if _handle is None:
            handle = ctypes.c_void_p()
            check(lib.tvn_image_create(ctypes.byref(handle)), None, "tvn_image_create")
            _handle = handle.value
        self._h = _handle
        self._owner = _owner  # the ImageSet a frame belongs to, kept alive by it

    @classmethod
    def open(cls, path):
        """Loads a .bmp, .tga, .gif or .jpg file."""
        image = cls()
        image._check(lib.tvn_image_load(image._h, _lib.path_bytes(path), 0), "load")
        return image

    @classmethod
    def from_numpy(cls, array):
        """A picture from an array of shape (height, width, 4) of uint8 RGBA, or
        (height, width) of uint32 pixel words, row 0 at the top. The rows are
        copied into the library in its bottom-up order."""
        import numpy as np
        a = np.asarray(array)
        if a.ndim == 3 and a.shape[2] == 4 and a.dtype == np.uint8:
            a = a.view("<u4")[:, :, 0]
        if a.ndim != 2 or a.dtype.kind != "u" or a.dtype.itemsize != 4:
            raise ValueError("expected (h, w, 4) uint8 or (h, w) uint32")
        bottom_up = np.ascontiguousarray(a[::-1], dtype="<u4")
        handle = ctypes.c_void_p()
        check(lib.tvn_image_create_pixels(bottom_up.ctypes.data, a.shape[1], a.shape[0], ctypes.byref(handle)),
              None, "tvn_image_create_pixels")
        return cls(handle.value)

    def __del__(self, _destroy=lib.tvn_image_destroy):  # bound early: safe at interpreter exit
        if getattr(self, "_h", None) and self._owner is None:
            _destroy(self._h)
            self._h = None

    def _check(self, status, what):
        check(status, lambda: lib.tvn_image_last_error(self._h), what)

    def copy(self):
        handle = ctypes.c_void_p()
        self._check(lib.tvn_image_copy(self._h, ctypes.byref(handle)), "copy")
        return Image(handle.value)

    @property
    def width(self):
        return lib.tvn_image_width(self._h)

    @property
    def height(self):
        return lib.tvn_image_height(self._h)

    @property
    def size(self):
        return self.width, self.height

    @property
    def original_size(self):
        return lib.tvn_image_width_orig(self._h), lib.tvn_image_height_orig(self._h)

    @property
    def has_alpha(self):
        return bool(lib.tvn_image_has_alpha(self._h))

    @property
    def file_name(self):
        name = lib.tvn_image_file_name(self._h)
        return name.decode("utf-8", "replace") if name else None

    def resize(self, width, height, filter="bicubic", progress=None):
        """Resizes from the untouched original. progress(percent) is called as it
        goes; returning False aborts (TivornError). Returns self."""
        failures = []
        proc = _progress_proc(progress, failures)
        status = lib.tvn_image_set_size(self._h, width, height, FILTERS[filter], proc, None)
        if failures:
            raise failures[0]
        self._check(status, "resize")
        return self

    def resize_rough(self, width, height):
        self._check(lib.tvn_image_set_size_rough(self._h, width, height), "resize_rough")
        return self

    def blur(self, kernel):
        """Box blur that grows the picture by the kernel on every side; returns the
        kernel used (the library may lower it)."""
        k = ctypes.c_uint(kernel)
        self._check(lib.tvn_image_blur(self._h, ctypes.byref(k)), "blur")
        return k.value

    def transparency(self, mode="const", *, amount=0, top=0, left=0, right=0, bottom=0, center=0,
                     border=0, mask=None, color=0, soft=False, deviation=0):
        """Gives the picture transparency. Percentages are transparency (0 opaque,
        100 clear): amount for "const"; top/left/right/bottom for "linear";
        center/border for "ellipse"; mask (a grey picture file) for "mask";
        color (0xBBGGRR or (r, g, b)), soft and deviation for "chromakey";
        "original" restores the file's own alpha. Returns self."""
        if isinstance(color, tuple):
            color = color[0] | color[1] << 8 | color[2] << 16
        t = _lib.Transparency(MODES[mode], amount, top, left, right, bottom, center, border,
                              color, int(soft), deviation)
        self._check(lib.tvn_image_set_transparency(self._h, ctypes.byref(t),
                                                   _lib.path_bytes(mask) if mask else None), "transparency")
        return self

    def flip_horizontal(self):
        self._check(lib.tvn_image_flip_horizontal(self._h), "flip_horizontal")
        return self

    def flip_vertical(self):
        self._check(lib.tvn_image_flip_vertical(self._h), "flip_vertical")
        return self

    def to_grayscale(self):
        self._check(lib.tvn_image_convert_to_grayscale(self._h), "to_grayscale")
        return self

    def save_tga(self, path):
        self._check(lib.tvn_image_save_tga(self._h, _lib.path_bytes(path)), "save_tga")

    def to_numpy(self, copy=False):
        """The pixels as a (height, width, 4) uint8 RGBA array, row 0 at the top.
        Without copy it is a zero-copy view of the library's buffer: the bottom-up
        rows read through a negative row stride. The view is valid until the next
        call that changes the picture's size (resize, blur, load, ...); it keeps
        this Image alive. With copy=True the array is the caller's own."""
        import numpy as np
        w, h = self.width, self.height
        pixels = lib.tvn_image_pixels(self._h)
        if not pixels or not w or not h:
            return np.zeros((0, 0, 4), np.uint8)
        raw = (ctypes.c_uint8 * (w * h * 4)).from_address(ctypes.addressof(pixels.contents))
        raw._keep = self  # the buffer lives as long as the picture
        view = np.frombuffer(raw, np.uint8).reshape(h, w, 4)[::-1]
        return view.copy() if copy else view

    def __repr__(self):
        return f"<tivorn.Image {self.width}x{self.height}{' alpha' if self.has_alpha else ''}>"


__all__ = ["Image", "TivornError", "FILTERS", "MODES"]
