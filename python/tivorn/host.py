"""The host's side of the library (tivorn/host.h): its messages, the open-file
dialog, the properties dialog, bitmap handles and the version."""
import ctypes
import sys
from typing import Any, Callable, List, Optional, Tuple

from . import _lib

lib = _lib.lib

# The procs installed in the library, kept alive while it may call them.
_installed: dict = {}


def version() -> str:
    """The library's version, "major.minor.patch"."""
    return lib.tvnVersion().decode("ascii")


def set_worker_count(n: int) -> None:
    """Threads one heavy operation (a resize, a blur, a transparency mode, a
    preload pass, a cache save) may use, the calling one included: 0 the number
    of processors (the default), 1 a single thread. Worker processes of a batch
    set 1, as their processes already share the processors."""
    lib.tvnSetWorkerCount(int(n))


def set_message_proc(proc: Optional[Callable[[str, str], None]]) -> None:
    """proc(text, caption) receives every message the library shows (None restores
    the default: a line on stderr, or a message box on Windows). It may be called
    on the background loader's thread."""
    def call(text, caption, _user):
        proc(_lib.message(text), _lib.message(caption))
    _install("message", lib.tvnSetMessageProc, _lib.MESSAGE_PROC(call) if proc else _lib.MESSAGE_PROC())


def _filter_pairs(filters: int) -> List[Tuple[str, str]]:
    """The dialog's filter list: pairs of label and patterns, zero-ended texts ending
    in an extra zero byte."""
    texts, at = [], filters
    while True:
        item = ctypes.string_at(at)
        if not item:
            break
        texts.append(_lib.message(item))
        at += len(item) + 1
    return list(zip(texts[0::2], texts[1::2]))


def set_open_file_proc(proc: Optional[Callable[[str, List[Tuple[str, str]]], Optional[str]]]) -> None:
    """proc(start_folder, [(label, patterns)]) chooses the file of Image.open(dialog=True):
    it returns the path, or None for a cancel; an exception counts as a failed dialog.
    None removes the proc."""
    def call(folder, filters, path, size, _user):
        try:
            chosen = proc(_lib.text(folder) or "", _filter_pairs(filters))
        except Exception:
            return -1
        if chosen is None:
            return 0
        name = _lib.path_bytes(chosen)
        if len(name) >= size:
            return -1
        ctypes.memmove(path, name + b"\0", len(name) + 1)
        return 1
    _install("open_file", lib.tvnSetOpenFileProc, _lib.OPEN_FILE_PROC(call) if proc else _lib.OPEN_FILE_PROC())


class PropertiesDialog:
    """The properties dialog while the host shows it: what its controls show and the
    user's actions, each control named by its id (tivorn/dialog_ids.h)."""

    def __init__(self, handle: int) -> None:
        """Wraps the dialog the library passes to the properties dialog proc."""
        self._h = handle
        self._color_proc = None

    def text(self, control: int) -> Optional[str]:
        """The control's text (None: no such control)."""
        size = 256
        while True:
            buffer = ctypes.create_string_buffer(size)
            length = lib.tvnPropGetText(self._h, control, buffer, size)
            if length < 0:
                return None
            if length < size:
                return _lib.message(buffer.value)
            size = length + 1

    def is_checked(self, control: int) -> bool:
        """Whether the check box or radio button is checked."""
        return bool(lib.tvnPropIsChecked(self._h, control))

    def is_enabled(self, control: int) -> bool:
        """Whether the control takes input."""
        return bool(lib.tvnPropIsEnabled(self._h, control))

    def track_bar(self, control: int) -> Optional[Tuple[int, int, int, int]]:
        """(position, low, high, page) of a track bar (None: not a track bar)."""
        low, high, page = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        position = lib.tvnPropGetTrackBar(self._h, control, ctypes.byref(low), ctypes.byref(high), ctypes.byref(page))
        return None if position < 0 else (position, low.value, high.value, page.value)

    def type(self, control: int, text: str) -> bool:
        """Types text into an edit (replacing it); False when the control refuses it."""
        encoded = text.encode("mbcs" if sys.platform == "win32" else "utf-8")
        return bool(lib.tvnPropType(self._h, control, encoded))

    def click(self, control: int) -> bool:
        """Clicks a button, radio or check box (1 is OK, 2 Cancel)."""
        return bool(lib.tvnPropClick(self._h, control))

    def set_track_bar(self, control: int, position: int) -> bool:
        """Moves a track bar (kept within its range)."""
        return bool(lib.tvnPropSetTrackBar(self._h, control, position))

    def swatch(self) -> Optional[int]:
        """The colour the swatch is painted in (0xAABBGGRR), None while it is blank."""
        color = ctypes.c_uint32()
        return color.value if lib.tvnPropDrawSwatch(self._h, ctypes.byref(color)) else None

    @property
    def end_code(self) -> int:
        """0 while the dialog is open, 1 after an accepted OK, 2 after Cancel."""
        return lib.tvnPropGetEndCode(self._h)

    def set_color_proc(self, proc: Optional[Callable[[int, List[int]], Optional[int]]]) -> None:
        """proc(color, custom_colors) behind the colour button returns the chosen
        colour or None for a cancel; it may change the 16 custom colours in place."""
        def call(color, custom, _user):
            colors = list(custom[:16])
            chosen = proc(color[0], colors)
            for i, value in enumerate(colors[:16]):
                custom[i] = value
            if chosen is None:
                return 0
            color[0] = chosen
            return 1
        self._color_proc = _lib.CHOOSE_COLOR_PROC(call) if proc else _lib.CHOOSE_COLOR_PROC()
        lib.tvnPropSetColorProc(self._h, self._color_proc, None)


def set_properties_dialog_proc(proc: Optional[Callable[[PropertiesDialog, Optional[int]], None]]) -> None:
    """proc(dialog, owner) shows Image.show_properties' dialog and passes the user's
    actions on until dialog.end_code is not 0 (returning earlier cancels it).
    None removes the proc."""
    def call(dialog, owner, _user):
        proc(PropertiesDialog(dialog), owner)
    _install("properties", lib.tvnSetPropertiesDialogProc,
             _lib.PROPERTIES_DIALOG_PROC(call) if proc else _lib.PROPERTIES_DIALOG_PROC())


def _install(slot: str, setter: Any, proc: Any) -> None:
    setter(proc, None)
    _installed[slot] = proc


class Bitmap:
    """A bitmap handle for Image.from_bitmap: bottom-up rows of 24-bit (blue,
    green, red) or 32-bit (blue, green, red, alpha) pixels, stride bytes apart. A
    real HBITMAP on Windows, the library's own small object elsewhere."""

    def __init__(self, width: int, height: int, bits_per_pixel: int, rows: bytes, stride: int) -> None:
        """Makes the handle from a copy of rows."""
        if height < 0 or len(rows) < stride * height:
            raise ValueError("rows hold fewer than height rows of stride bytes")
        self.handle = lib.tvnCreateBitmap(width, height, bits_per_pixel, rows, stride)
        if not self.handle:
            raise ValueError("the library refused the bitmap")

    def close(self, _delete=lib.tvnDeleteBitmap) -> None:
        """Releases the handle."""
        if getattr(self, "handle", None):
            _delete(self.handle)
            self.handle = None

    __del__ = close

    def __enter__(self) -> "Bitmap":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()
