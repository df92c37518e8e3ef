"""What a worker process runs for one file: each reads its input, writes its
output under a temporary name and renames it, and returns a small Result; no
failure of one file escapes as an exception."""
import os
import signal
import time
import uuid
from dataclasses import dataclass
from typing import Any, Callable, Dict, List, Optional, Sequence, Tuple

from .. import _lib
from .._errors import TivornError
from ..animation import Cache
from ..host import set_message_proc
from ..image import Image

Step = Tuple[Any, ...]


@dataclass(frozen=True)
class Result:
    """The outcome of one file of a batch."""
    #: The input as it was named (a picture, a first frame or a cache).
    name: str
    #: The file written (None for verify and for inputs refused before running).
    output: Optional[str]
    #: Bytes written (verify: bytes of the cache checked); 0 after a failure.
    size: int
    #: Seconds the work on this file took in its worker.
    seconds: float
    #: None on success, else one line saying what went wrong.
    error: Optional[str] = None

    @property
    def ok(self) -> bool:
        """True when the file succeeded."""
        return self.error is None


_set_up = False


def worker_setup() -> None:
    """Once per worker process: the library works on one thread (the processes
    are the parallelism), and its messages are not
    printed, since each failure comes back as its Result's error."""
    global _set_up
    if _set_up:
        return
    _lib.lib.tvnSetWorkerCount(1)
    set_message_proc(lambda text, caption: None)
    _set_up = True


def ignore_interrupts() -> None:
    """Pool workers leave Ctrl-C to the process that runs the batch."""
    signal.signal(signal.SIGINT, signal.SIG_IGN)


def temporary_name(output: str, token: str) -> str:
    """Where output is written before it is renamed: hidden, beside it, naming the batch."""
    folder, base = os.path.split(output)
    return os.path.join(folder, f".{base}.{token}.{uuid.uuid4().hex[:8]}.part")


def write_atomically(output: str, token: str, write: Callable[[str], None]) -> int:
    """write(temporary) then a rename to output, so that output is whole or absent.
    Returns the bytes written."""
    os.makedirs(os.path.dirname(output) or ".", exist_ok=True)
    temporary = temporary_name(output, token)
    try:
        write(temporary)
        size = os.path.getsize(temporary)
        os.replace(temporary, output)
        return size
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def apply_step(image: Image, step: Step, filter: str, rough: bool) -> None:
    """One step of `tivorn convert`, as the program runs it."""
    kind = step[0]
    if kind == "size":
        if rough:
            image.resize_rough(step[1], step[2])
        else:
            image.resize(step[1], step[2], filter=filter)
    elif kind == "blur":
        image.blur(step[1])
    elif kind == "alpha":
        settings = dict(step[1])
        if settings["mode"] == "original":
            image.restore_alpha(filter="bilinear" if rough else filter)
        else:
            image.transparency(**settings)
    elif kind == "gray":
        image.to_grayscale()
    elif kind == "bgra":
        image.to_bgra()
    elif kind == "flip":
        (image.flip_horizontal if step[1] == "h" else image.flip_vertical)()
    elif kind == "trim":
        image.trim_by_alpha()
    elif kind == "stretch":
        image.stretch_horizontally(step[1])
    else:
        raise ValueError(f"unknown step {kind!r}")


def convert_one(source: str, output: str, token: str, steps: Sequence[Step], filter: str = "bicubic",
                rough: bool = False) -> int:
    """Loads source, runs the steps in order and writes output (.png or else TGA)."""
    image = Image.open(source)
    for step in steps:
        apply_step(image, step, filter, rough)
    save = image.save_png if output.lower().endswith(".png") else image.save_tga
    return write_atomically(output, token, save)


def pack_one(first_frame: str, output: str, token: str) -> int:
    """Writes a cache holding the one frame run that starts at first_frame."""
    def write(temporary: str) -> None:
        with Cache(temporary, writable=True) as cache:
            cache.add(first_frame)
            cache.save()
    return write_atomically(output, token, write)


def verify_one(path: str, output: Optional[str], token: str) -> int:
    """Opens the cache and unpacks every frame of every entry; returns its size."""
    if not os.path.isfile(path):
        raise ValueError("no such file")
    try:
        cache = Cache(path)
    except TivornError:
        raise ValueError("not a cache file the library reads (tivorn cache verify names the fault)") from None
    with cache:
        for entry, (_, count) in enumerate(cache.entries()):
            for index in range(count):
                try:
                    cache.frame(entry, index)
                except Exception as e:
                    raise ValueError(f"entry {entry} frame {index}: {e}") from None
        return cache.file_size


OPERATIONS: Dict[str, Callable[..., int]] = {"convert": convert_one, "pack": pack_one, "verify": verify_one}


def run_one(operation: str, source: str, output: Optional[str], token: str, params: Dict[str, Any]) -> Result:
    """One file as a Result: its output's size and time, or the error's text."""
    start = time.perf_counter()
    try:
        size = OPERATIONS[operation](source, output, token, **params)
        return Result(source, output, size, time.perf_counter() - start)
    except Exception as e:
        return Result(source, output, 0, time.perf_counter() - start, str(e) or type(e).__name__)


def run_chunk(operation: str, items: List[Tuple[str, Optional[str]]], token: str,
              params: Dict[str, Any]) -> List[Result]:
    """The task a worker runs: several files, one after another."""
    worker_setup()
    return [run_one(operation, source, output, token, params) for source, output in items]
