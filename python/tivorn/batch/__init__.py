"""Batch work over many files: resize, convert, pack and verify, each file a task
on a Dask cluster (``client=``: a ``distributed.Client`` or a scheduler address),
on a local pool of worker processes (``workers=N``, default: one per processor)
or in this process (``workers=0``).

Every task reads its input and writes its output itself, so workers must see the
same paths as the caller (names are made absolute here). Outputs are written under
a hidden temporary name and renamed, so an output is whole or absent. One Result
comes back per input, in input order; a file that fails gives its error text and
the others go on. A progress bar is drawn on stderr when it is a terminal."""
import os
import re
from typing import Any, Dict, List, Optional, Sequence, Tuple, Union

from ..image import FILTERS
from . import _run
from ._tasks import Result

__all__ = ["Result", "resize", "convert", "pack", "verify", "parse_size", "parse_alpha", "parse_steps"]

Inputs = Union[str, "os.PathLike[str]", Sequence[Union[str, "os.PathLike[str]"]]]
MAX_SIDE = 65535


def parse_size(text: str) -> Tuple[int, int]:
    """"WxH" as (W, H), each 1..65535; ValueError otherwise."""
    match = re.fullmatch(r"(\d{1,9})[xX](\d{1,9})", text)
    if not match or not all(1 <= int(v) <= MAX_SIDE for v in match.groups()):
        raise ValueError(f"bad size '{text}': use WxH, each 1..{MAX_SIDE}")
    return int(match.group(1)), int(match.group(2))


def _number(text: Any, high: int, what: str, low: int = 0) -> int:
    value = str(text)
    if not re.fullmatch(r"\d{1,9}", value) or not low <= int(value) <= high:
        raise ValueError(f"bad {what} '{text}': use {low}..{high}")
    return int(value)


def parse_alpha(text: str) -> Dict[str, Any]:
    """A transparency as `tivorn convert --alpha` takes it (const:P,
    gradient:T,L,R,B, ellipse:C,E, chromakey:RRGGBB,DEV[,soft], mask:FILE or
    original), as Image.transparency's keywords plus "mode"."""
    mode, _, rest = text.partition(":")
    parts = rest.split(",")
    try:
        if text == "original":
            return {"mode": "original"}
        if mode == "const" and len(parts) == 1:
            return {"mode": "const", "amount": _number(parts[0], 100, "percentage")}
        if mode == "gradient" and len(parts) == 4:
            values = [_number(p, 100, "percentage") for p in parts]
            return {"mode": "linear", **dict(zip(("top", "left", "right", "bottom"), values))}
        if mode == "ellipse" and len(parts) == 2:
            return {"mode": "ellipse", "center": _number(parts[0], 100, "percentage"),
                    "border": _number(parts[1], 100, "percentage")}
        if mode == "chromakey" and len(parts) in (2, 3) and re.fullmatch(r"[0-9a-fA-F]{6}", parts[0]) \
                and (len(parts) == 2 or parts[2] in ("soft", "hard")):
            rgb = int(parts[0], 16)
            return {"mode": "chromakey", "color": (rgb >> 16, rgb >> 8 & 255, rgb & 255),
                    "deviation": _number(parts[1], 441, "distance"), "soft": parts[2:] == ["soft"]}
        if mode == "mask" and rest:
            return {"mode": "mask", "mask": os.path.abspath(rest)}
    except ValueError:
        pass
    raise ValueError(f"bad alpha '{text}': use const:P, gradient:T,L,R,B, ellipse:C,E (percent of transparency "
                     "0..100), chromakey:RRGGBB,DEV[,soft] (DEV 0..441), mask:FILE or original")


def parse_steps(steps: Sequence[Sequence[Any]]) -> List[Tuple[Any, ...]]:
    """The steps of `tivorn convert` as tuples, checked: ("size", "WxH") or
    ("size", W, H), ("blur", K), ("alpha", "ellipse:0,100"), ("gray",), ("bgra",),
    ("flip", "h" or "v"), ("trim",), ("stretch", W). ValueError for a bad one."""
    out: List[Tuple[Any, ...]] = []
    for step in steps:
        kind, args = step[0], list(step[1:])
        if kind == "size":
            out.append(("size", *(parse_size(args[0]) if len(args) == 1 else parse_size(f"{args[0]}x{args[1]}"))))
        elif kind == "blur" and len(args) == 1:
            out.append(("blur", _number(args[0], 1000, "blur kernel")))
        elif kind == "alpha" and len(args) == 1:
            out.append(("alpha", parse_alpha(args[0])))
        elif kind in ("gray", "grey", "bgra", "trim") and not args:
            out.append(("gray" if kind == "grey" else kind,))
        elif kind == "flip" and args in (["h"], ["v"]):
            out.append(("flip", args[0]))
        elif kind == "stretch" and len(args) == 1:
            out.append(("stretch", _number(args[0], MAX_SIDE, "width", low=1)))
        else:
            raise ValueError(f"bad step {tuple(step)!r}")
    return out


def _check_filter(filter: str) -> None:
    if filter not in FILTERS:
        raise ValueError(f"bad filter '{filter}': use {', '.join(FILTERS)}")


def _batch(operation: str, inputs: Inputs, out: Optional[Union[str, "os.PathLike[str]"]], name_of, params: Dict,
           options: Dict[str, Any], label: str = "") -> List[Result]:
    """Names every output, refuses missing inputs and outputs claimed twice, runs the rest."""
    found = _run.expand(inputs)
    names = [name for name, _ in found]
    folder = os.path.abspath(out) if out is not None else None
    items: List[_run.Item] = []
    refused: Dict[int, str] = {}
    first_claim: Dict[str, str] = {}
    for i, (name, exists) in enumerate(found):
        output = os.path.join(folder, name_of(name)) if folder else None
        items.append((os.path.abspath(name), output))
        if not exists:
            refused[i] = "no file matches"
        elif output and output in first_claim:
            refused[i] = f"{output} is also the output of {first_claim[output]}"
        elif output:
            first_claim[output] = name
    chunk_size = options.pop("chunk_size", 1)
    if chunk_size < 1:
        raise ValueError("chunk_size must be at least 1")
    return _run.run(operation, items, names, params, refused=refused, chunk_size=chunk_size,
                    label=label or operation, **options)


def _stem(path: str) -> str:
    return os.path.splitext(os.path.basename(path))[0]


def convert(inputs: Inputs, out: Union[str, "os.PathLike[str]"], steps: Sequence[Sequence[Any]], *,
            filter: str = "bicubic", rough: bool = False, format: str = "tga", client: Any = None,
            workers: Optional[int] = None, progress: Optional[bool] = None,
            on_result: _run.OnResult = None, chunk_size: int = 1) -> List[Result]:
    """Loads each input, runs the steps in order (see parse_steps) and writes
    out/NAME.tga (or .png with format="png"), as `tivorn convert` would:
    filter is that of every resize, rough resizes by the nearest pixel.

    client: a distributed.Client or a scheduler address; else workers local
    processes (None: one per processor; 0: in this process). progress: the bar
    (None: when stderr is a terminal). on_result(result) is called as each file
    finishes. chunk_size files go to each task (more amortises a big cluster's
    per-task cost). Returns one Result per input, in order."""
    _check_filter(filter)
    if format not in ("tga", "png"):
        raise ValueError(f"bad format '{format}': use tga or png")
    params = {"steps": parse_steps(steps), "filter": filter, "rough": rough}
    return _batch("convert", inputs, out, lambda name: f"{_stem(name)}.{format}", params,
                  dict(client=client, workers=workers, progress=progress, on_result=on_result,
                       chunk_size=chunk_size), label="resize" if [s[0] for s in steps] == ["size"] else "")


def resize(inputs: Inputs, out: Union[str, "os.PathLike[str]"], size: Union[str, Tuple[int, int]], *,
           filter: str = "bicubic", client: Any = None, workers: Optional[int] = None,
           progress: Optional[bool] = None, on_result: _run.OnResult = None, chunk_size: int = 1) -> List[Result]:
    """Writes out/NAME.tga for each input NAME.ext: the bytes of
    Image.open(f).resize(w, h, filter=filter).save_tga(...). size: (w, h) or "WxH".
    The other arguments are convert's."""
    step = ("size", size) if isinstance(size, str) else ("size", *size)
    return convert(inputs, out, [step], filter=filter, client=client, workers=workers, progress=progress,
                   on_result=on_result, chunk_size=chunk_size)


def _run_name(first_frame: str) -> str:
    """walk0001.tga, walk_0001.tga -> walk: the run's name without its frame number."""
    stem = _stem(first_frame)
    return stem.rstrip("0123456789").rstrip("_-. ") or stem


def pack(first_frames: Inputs, out: Union[str, "os.PathLike[str]"], *, client: Any = None,
         workers: Optional[int] = None, progress: Optional[bool] = None, on_result: _run.OnResult = None,
         chunk_size: int = 1) -> List[Result]:
    """Packs each frame run (walk0001.tga finds walk0002.tga, ...) into a cache of
    its own, out/walk.kac (walk_0001.tga too), holding that one entry. The other arguments are convert's."""
    return _batch("pack", first_frames, out, lambda name: f"{_run_name(name)}.kac", {},
                  dict(client=client, workers=workers, progress=progress, on_result=on_result,
                       chunk_size=chunk_size))


def verify(caches: Inputs, *, client: Any = None, workers: Optional[int] = None, progress: Optional[bool] = None,
           on_result: _run.OnResult = None, chunk_size: int = 1) -> List[Result]:
    """Opens each cache and unpacks every frame of every entry; a Result's size is
    the cache's. The other arguments are convert's."""
    return _batch("verify", caches, None, None, {},
                  dict(client=client, workers=workers, progress=progress, on_result=on_result,
                       chunk_size=chunk_size))
