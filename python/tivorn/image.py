"""tivorn.Image: a picture of the library, with numpy, Pillow and notebook interop."""
import ctypes
import os
from typing import TYPE_CHECKING, Any, Callable, Dict, List, Optional, Tuple, Union

from . import _lib, _png
from ._errors import TivornError, check

if TYPE_CHECKING:  # optional dependencies, imported where used
    import numpy
    import PIL.Image

    from .host import Bitmap

lib = _lib.lib

PathLike = Union[str, "os.PathLike[str]"]
Progress = Optional[Callable[[int], Optional[bool]]]

#: Resize filter names and the library's numbers for them.
FILTERS: Dict[str, int] = {"box": 1, "bilinear": 2, "bicubic": 3, "gaussian": 4, "hamming": 5, "blackman": 6}
#: Transparency mode names and the library's numbers for them.
MODES: Dict[str, int] = {"const": 0, "linear": 1, "ellipse": 2, "mask": 3, "original": 4, "chromakey": 5}


def _progress_proc(progress: Progress, failures: List[BaseException]) -> Any:
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


def _filter_number(name: Optional[str]) -> int:
    return 0 if name is None else FILTERS[name]


class Image:
    """A picture: 32-bit RGBA pixels. The library keeps rows bottom-up; this class
    presents them top-down (row 0 is the top), as images are in Python.

    numpy sees the pixels without a copy (``numpy.asarray(image)``, through
    ``__array_interface__``); in a notebook the picture shows itself (``_repr_png_``)."""

    def __init__(self, _handle: Optional[int] = None, _owner: Any = None) -> None:
        """An empty picture (0 x 0); see open, new, from_numpy and from_pil for others."""
        if _handle is None:
            handle = ctypes.c_void_p()
            check(lib.tvn_image_create(ctypes.byref(handle)), None, "tvn_image_create")
            _handle = handle.value
        self._h = _handle
        self._owner = _owner  # the ImageSet a frame belongs to, kept alive by it

    # ---- making pictures ---------------------------------------------------------
    @classmethod
    def open(cls, path: PathLike, dialog: bool = False) -> "Image":
        """Loads a .bmp, .tga, .gif or .jpg file. dialog=True lets the user pick the
        file, starting at path (the host's open-file proc, see
        tivorn.set_open_file_proc); a cancel raises TivornError."""
        image = cls()
        image._check(lib.tvn_image_load(image._h, _lib.path_bytes(path), int(dialog)), "load")
        return image

    @classmethod
    def new(cls, width: int, height: int) -> "Image":
        """A width x height picture of zero words (transparent black)."""
        handle = ctypes.c_void_p()
        check(lib.tvn_image_create_size(width, height, ctypes.byref(handle)), None, "tvn_image_create_size")
        return cls(handle.value)

    @classmethod
    def _from_words(cls, bottom_up: Any, width: int, height: int) -> "Image":
        handle = ctypes.c_void_p()
        check(lib.tvn_image_create_pixels(bottom_up, width, height, ctypes.byref(handle)),
              None, "tvn_image_create_pixels")
        return cls(handle.value)

    @classmethod
    def from_numpy(cls, array: "numpy.ndarray") -> "Image":
        """A picture from an array of shape (height, width, 4) of uint8 RGBA, or
        (height, width) of uint32 pixel words, row 0 at the top. The rows are
        copied into the library in its bottom-up order."""
        import numpy as np
        a = np.asarray(array)
        if a.ndim == 3 and a.shape[2] == 4 and a.dtype == np.uint8:
            a = np.ascontiguousarray(a).view("<u4")[:, :, 0]
        if a.ndim != 2 or a.dtype.kind != "u" or a.dtype.itemsize != 4:
            raise ValueError("expected (h, w, 4) uint8 or (h, w) uint32")
        bottom_up = np.ascontiguousarray(a[::-1], dtype="<u4")
        return cls._from_words(bottom_up.ctypes.data, a.shape[1], a.shape[0])

    @classmethod
    def from_pil(cls, picture: "PIL.Image.Image") -> "Image":
        """A picture from a Pillow image (converted to RGBA first when it is not)."""
        rgba = picture if picture.mode == "RGBA" else picture.convert("RGBA")
        width, height = rgba.size
        return cls._from_words(rgba.tobytes("raw", "RGBA", 0, -1), width, height)  # bottom row first

    @classmethod
    def from_rle(cls, packed: bytes, width: int, height: int) -> "Image":
        """A width x height picture from the library's run-length code (compress_rle)."""
        handle = ctypes.c_void_p()
        check(lib.tvn_image_create_rle(packed, len(packed), width, height, ctypes.byref(handle)),
              None, "tvn_image_create_rle")
        return cls(handle.value)

    @classmethod
    def from_bitmap(cls, bitmap: "Bitmap") -> "Image":
        """A picture from a bitmap handle (tivorn.Bitmap, or an HBITMAP's value on Windows)."""
        image = cls()
        image._check(lib.tvn_image_from_handle(image._h, getattr(bitmap, "handle", bitmap)), "from_bitmap")
        return image

    def __del__(self, _destroy=lib.tvn_image_destroy):  # bound early: safe at interpreter exit
        if getattr(self, "_h", None) and self._owner is None:
            _destroy(self._h)
            self._h = None

    def _check(self, status: int, what: str) -> None:
        check(status, lambda: lib.tvn_image_last_error(self._h), what)

    def copy(self) -> "Image":
        """A picture of its own with everything of this one (original, blur, alpha)."""
        handle = ctypes.c_void_p()
        self._check(lib.tvn_image_copy(self._h, ctypes.byref(handle)), "copy")
        return Image(handle.value)

    def assign(self, source: "Image") -> "Image":
        """Makes this picture a copy of source, in place. Returns self."""
        self._check(lib.tvn_image_assign(self._h, source._h), "assign")
        return self

    # ---- what it is --------------------------------------------------------------
    @property
    def width(self) -> int:
        """Width in pixels of the current picture."""
        return lib.tvn_image_width(self._h)

    @property
    def height(self) -> int:
        """Height in pixels of the current picture."""
        return lib.tvn_image_height(self._h)

    @property
    def size(self) -> Tuple[int, int]:
        """(width, height) of the current picture."""
        return self.width, self.height

    @property
    def original_size(self) -> Tuple[int, int]:
        """(width, height) of the untouched picture every resize starts from."""
        return lib.tvn_image_width_orig(self._h), lib.tvn_image_height_orig(self._h)

    @property
    def has_alpha(self) -> bool:
        """Whether the file carried an alpha channel of its own."""
        return bool(lib.tvn_image_has_alpha(self._h))

    @property
    def file_name(self) -> Optional[str]:
        """The file the picture was loaded from (None when it was not)."""
        return _lib.text(lib.tvn_image_file_name(self._h)) or None

    @property
    def mask_file_name(self) -> Optional[str]:
        """The grey picture of the "mask" transparency (None without one)."""
        return _lib.text(lib.tvn_image_mask_file_name(self._h)) or None

    @property
    def blur_kernel(self) -> int:
        """The kernel of the blur the picture carries (0: none)."""
        return lib.tvn_image_blur_kernel(self._h)

    # ---- operations --------------------------------------------------------------
    def reload(self, filter: Optional[str] = None, progress: Progress = None) -> "Image":
        """Reads the picture's file again and rebuilds its size and blur (filter None:
        the filter of the last resize). Returns self."""
        return self._with_progress(lambda proc: lib.tvn_image_reload(self._h, _filter_number(filter), proc, None),
                                   progress, "reload")

    def _with_progress(self, call: Callable[[Any], int], progress: Progress, what: str) -> "Image":
        failures: List[BaseException] = []
        status = call(_progress_proc(progress, failures))
        if failures:
            raise failures[0]
        self._check(status, what)
        return self

    def resize(self, width: int, height: int, filter: str = "bicubic", progress: Progress = None) -> "Image":
        """Resizes from the untouched original. progress(percent) is called as it
        goes; returning False aborts (TivornError). Returns self."""
        return self._with_progress(
            lambda proc: lib.tvn_image_set_size(self._h, width, height, FILTERS[filter], proc, None), progress,
            "resize")

    def resize_rough(self, width: int, height: int) -> "Image":
        """Resizes from the untouched original by taking the nearest pixel. Returns self."""
        self._check(lib.tvn_image_set_size_rough(self._h, width, height), "resize_rough")
        return self

    def blur(self, kernel: int) -> int:
        """Box blur that grows the picture by the kernel on every side; returns the
        kernel used (the library may lower it)."""
        k = ctypes.c_uint(kernel)
        self._check(lib.tvn_image_blur(self._h, ctypes.byref(k)), "blur")
        return k.value

    def transparency(self, mode: str = "const", *, amount: int = 0, top: int = 0, left: int = 0, right: int = 0,
                     bottom: int = 0, center: int = 0, border: int = 0, mask: Optional[PathLike] = None,
                     color: Union[int, Tuple[int, int, int]] = 0, soft: bool = False,
                     deviation: int = 0) -> "Image":
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

    def transparency_settings(self) -> Dict[str, Any]:
        """The transparency in effect, as the keywords of transparency() plus "mode"."""
        t = _lib.Transparency()
        self._check(lib.tvn_image_get_transparency(self._h, ctypes.byref(t)), "transparency_settings")
        mode = next((name for name, n in MODES.items() if n == t.mode), str(t.mode))
        return {"mode": mode, "amount": t.const_transp, "top": t.linear_top, "left": t.linear_left,
                "right": t.linear_right, "bottom": t.linear_bottom, "center": t.ellipse_center,
                "border": t.ellipse_border, "color": t.chromakey_color, "soft": bool(t.chromakey_soft),
                "deviation": t.chromakey_deviation}

    def save_alpha(self) -> "Image":
        """Keeps the current alpha as the picture's own (what "original" restores). Returns self."""
        self._check(lib.tvn_image_save_alpha(self._h), "save_alpha")
        return self

    def restore_alpha(self, filter: str = "bicubic", progress: Progress = None) -> "Image":
        """Puts the kept alpha back, rebuilding a resized picture with filter. Returns self."""
        return self._with_progress(
            lambda proc: lib.tvn_image_restore_alpha(self._h, FILTERS[filter], proc, None), progress,
            "restore_alpha")

    def flip_horizontal(self) -> "Image":
        """Mirrors left and right (the original and kept alpha too). Returns self."""
        self._check(lib.tvn_image_flip_horizontal(self._h), "flip_horizontal")
        return self

    def flip_vertical(self) -> "Image":
        """Mirrors top and bottom (the original and kept alpha too). Returns self."""
        self._check(lib.tvn_image_flip_vertical(self._h), "flip_vertical")
        return self

    def to_grayscale(self) -> "Image":
        """Turns the colours grey; alpha stays. Returns self."""
        self._check(lib.tvn_image_convert_to_grayscale(self._h), "to_grayscale")
        return self

    def to_bgra(self) -> "Image":
        """Exchanges red and blue in every pixel. Returns self."""
        self._check(lib.tvn_image_convert_to_bgra(self._h), "to_bgra")
        return self

    def trim_by_alpha(self) -> Tuple[int, int]:
        """Cuts the picture to the area with non-zero alpha; returns the library's
        (x, y) of where it started (y counted as the library counts it)."""
        x, y = ctypes.c_uint32(), ctypes.c_uint32()
        self._check(lib.tvn_image_trim_by_alpha(self._h, ctypes.byref(x), ctypes.byref(y)), "trim_by_alpha")
        return x.value, y.value

    def stretch_horizontally(self, width: int) -> "Image":
        """Widens an unresized picture to width by repeating its middle column. Returns self."""
        self._check(lib.tvn_image_stretch_horizontally(self._h, width), "stretch_horizontally")
        return self

    def show_properties(self, owner: Optional[int] = None, filter: str = "bicubic",
                        progress: Progress = None) -> bool:
        """The properties dialog (the host's, see tivorn.set_properties_dialog_proc);
        True when the user accepted it."""
        accepted = ctypes.c_int()
        self._with_progress(lambda proc: lib.tvn_image_show_properties(self._h, owner, FILTERS[filter], proc, None,
                                                                       ctypes.byref(accepted)),
                            progress, "show_properties")
        return bool(accepted.value)

    # ---- out of the library ------------------------------------------------------
    def _fill(self, function: Any, channels: int, what: str) -> bytes:
        out = (ctypes.c_ubyte * max(1, self.width * self.height * channels))()
        self._check(function(self._h, out), what)
        return bytes(out)[:self.width * self.height * channels]

    def fill_24bit(self) -> bytes:
        """The current pixels as blue, green, red bytes, bottom row first."""
        return self._fill(lib.tvn_image_fill_24bit, 3, "fill_24bit")

    def fill_32bit(self) -> bytes:
        """Blue, green, red, alpha bytes, bottom row first, of the picture rebuilt
        from its original at the current size (the library's fillBuffer32bit)."""
        return self._fill(lib.tvn_image_fill_32bit, 4, "fill_32bit")

    def compress_rle(self) -> bytes:
        """The untouched picture in the library's run-length code (see from_rle)."""
        packed = _lib._BYTES()
        length = ctypes.c_uint32()
        self._check(lib.tvn_image_compress_rle(self._h, ctypes.byref(packed), ctypes.byref(length)), "compress_rle")
        try:
            return ctypes.string_at(packed, length.value)
        finally:
            lib.tvn_rle_free(packed)

    def save_tga(self, path: PathLike) -> None:
        """Writes a 32-bit TGA file through the library."""
        self._check(lib.tvn_image_save_tga(self._h, _lib.path_bytes(path)), "save_tga")

    def save_png(self, path: PathLike) -> None:
        """Writes an 8-bit RGBA PNG file (for looking at; TGA is the library's own)."""
        with open(path, "wb") as f:
            f.write(_png.encode(self.width, self.height, self.tobytes()))

    def _raw(self) -> bytes:
        """The pixel bytes as the library keeps them: RGBA, bottom row first."""
        pixels = lib.tvn_image_pixels(self._h)
        return ctypes.string_at(pixels, self.width * self.height * 4) if pixels else b""

    def tobytes(self) -> bytes:
        """The pixels as RGBA bytes, top row first (a copy)."""
        raw, stride = self._raw(), self.width * 4
        return b"".join(raw[y * stride:(y + 1) * stride] for y in reversed(range(self.height)))

    @property
    def __array_interface__(self) -> Dict[str, Any]:
        """numpy's view of the pixels: (height, width, 4) uint8 RGBA, row 0 at the
        top, read through a negative row stride from the library's bottom-up
        buffer. No copy; valid until the next call that changes the picture's size."""
        w, h = self.width, self.height
        pixels = lib.tvn_image_pixels(self._h)
        if not pixels or not w or not h:
            return {"version": 3, "shape": (0, 0, 4), "typestr": "|u1", "data": b""}
        top_row = ctypes.addressof(pixels.contents) + (h - 1) * w * 4
        return {"version": 3, "shape": (h, w, 4), "typestr": "|u1", "strides": (-w * 4, 4, 1),
                "data": (top_row, False)}

    def to_numpy(self, copy: bool = False) -> "numpy.ndarray":
        """The pixels as a (height, width, 4) uint8 RGBA array, row 0 at the top.
        Without copy it is a zero-copy view of the library's buffer (writes change
        the picture), valid until the next call that changes the picture's size
        (resize, blur, load, ...); it keeps this Image alive. With copy=True the
        array is the caller's own."""
        import numpy as np
        view = np.asarray(self)
        return view.copy() if copy else view

    def to_pil(self) -> "PIL.Image.Image":
        """A Pillow RGBA image of the pixels (a copy)."""
        from PIL import Image as PILImage
        return PILImage.frombytes("RGBA", self.size, self._raw(), "raw", "RGBA", 0, -1)

    def _repr_png_(self) -> Optional[bytes]:
        """The picture as PNG bytes, for notebooks (None when empty)."""
        if not self.width or not self.height:
            return None
        return _png.encode(self.width, self.height, self.tobytes(), level=1)

    def __repr__(self) -> str:
        return f"<tivorn.Image {self.width}x{self.height}{' alpha' if self.has_alpha else ''}>"


__all__ = ["Image", "TivornError", "FILTERS", "MODES"]
