"""Writes tivorn/_prototypes.py, the ctypes prototypes of every function of the C
interface, from include/tivorn/c_functions.inc, the one list of those functions:

  python3 python/generate_prototypes.py          # after changing the list
  python3 python/generate_prototypes.py --check  # fails when the module is not current (ctest)
  python3 python/generate_prototypes.py --list   # "name availability" per function (.ci/exports.sh)

How C types become ctypes: numbers as their ctypes; text (const char*) as
c_char_p; the opaque handles, window and bitmap handles and void* as c_void_p;
pointers to numbers as typed pointers (a handle's address as POINTER(c_void_p)),
except const ones among the arguments: those are input buffers, c_void_p, so
bytes, an address or an array all pass. Records and callbacks are the
hand-written mirrors of tivorn/_types.py, named in RECORDS and CALLBACKS."""
import argparse
import ast
import re
import sys
import textwrap
from pathlib import Path
from typing import List, NamedTuple, Tuple

ROOT = Path(__file__).resolve().parent.parent
TABLE = ROOT / "include" / "tivorn" / "c_functions.inc"
MODULE = ROOT / "python" / "tivorn" / "_prototypes.py"

HEADERS = {"C": "tivorn_c.h", "HOST": "host.h", "PIXEL": "pixel.h", "IMAGE": "image.h"}
AVAILABILITIES = ("ALWAYS", "OPTIONAL")
NUMBERS = {"int": "c_int", "unsigned int": "c_uint", "tvn_status": "c_int", "TVN_DWORD": "c_uint32",
           "TVN_UINT64": "c_uint64", "TVN_INT64": "c_int64",
           "unsigned char": "c_ubyte", "char": "c_char"}
HANDLES = {"tvn_image", "tvn_image_set", "tvn_cache", "TVN_PROPERTIES_DIALOG"}  # opaque: only pointers
SYSTEM_HANDLES = {"HBITMAP", "HWND"}
RECORDS = {"tvn_transparency": "Transparency", "tvn_cache_entry": "CacheEntry", "TVN_FILE_PROCS": "FileProcs"}
CALLBACKS = {"tvn_progress_proc": "PROGRESS", "tvn_cache_progress_proc": "CACHE_PROGRESS",
             "tvn_preload_proc": "PRELOAD", "TVN_MESSAGE_PROC": "MESSAGE_PROC",
             "TVN_OPEN_FILE_PROC": "OPEN_FILE_PROC", "TVN_PROPERTIES_DIALOG_PROC": "PROPERTIES_DIALOG_PROC",
             "TVN_CHOOSE_COLOR_PROC": "CHOOSE_COLOR_PROC"}

_ENTRY = re.compile(r'TVN_FUNCTION\(\s*(\w+)\s*,\s*(\w+)\s*,\s*([\w\s*]+?)\s*,\s*(\w+)\s*,\s*\(([\w\s*,]*)\)\s*,'
                    r'\s*((?:"(?:[^"\\\n]|\\.)*"\s*)+)\)')
_STRING = re.compile(r'"(?:[^"\\\n]|\\.)*"')
# The list's own lines that give the headers' TVN_DECLARE_ macros their defaults.
_DEFAULTS = re.compile(r"^[ \t]*#[ \t]*(?:ifndef TVN_DECLARE_\w+|define TVN_DECLARE_\w+\(result, name, parameters\)"
                       r"|endif|undef TVN_(?:FUNCTION|DECLARE_\w+))[ \t]*$", re.M)


class Function(NamedTuple):
    header: str
    availability: str
    result: str
    name: str
    parameters: List[str]
    doc: str


class TableError(Exception):
    pass


def read_table(text: str) -> List[Function]:
    """The entries of the list, in order; anything but entries, comments and the
    defaults of the TVN_DECLARE_ macros is an error."""
    text = _DEFAULTS.sub(" ", re.sub(r"/\*.*?\*/", " ", text, flags=re.S))
    functions, names = [], set()
    for m in _ENTRY.finditer(text):
        header, availability, result, name, parameters, doc = m.groups()
        if header not in HEADERS or availability not in AVAILABILITIES:
            raise TableError(f"{name}: the header is one of {sorted(HEADERS)}, the availability one of "
                             f"{AVAILABILITIES}")
        if name in names:
            raise TableError(f"{name} is listed twice")
        names.add(name)
        params = [" ".join(p.split()) for p in parameters.split(",")]
        if params == ["void"]:
            params = []
        functions.append(Function(header, availability, " ".join(result.split()), name, params,
                                  "".join(ast.literal_eval(s) for s in _STRING.findall(doc))))
    rest = _ENTRY.sub(" ", text).strip()
    if rest:
        raise TableError(f"not an entry: {rest[:80]!r}")
    return functions


def _split(declaration: str, named: bool) -> Tuple[str, bool, int, str]:
    """(base type, const, pointer depth, name) of "const TVN_DWORD* pixels"."""
    tokens = re.findall(r"\w+|\*", declaration)
    name = ""
    if named:
        if len(tokens) < 2 or not re.fullmatch(r"[A-Za-z_]\w*", tokens[-1]):
            raise TableError(f"parameter without a name: {declaration!r}")
        name, tokens = tokens[-1], tokens[:-1]
    const = "const" in tokens
    stars = tokens.count("*")
    base = " ".join(t for t in tokens if t not in ("const", "*"))
    return base, const, stars, name


def ctype(declaration: str, argument: bool) -> str:
    """The ctypes expression of a parameter (argument) or a result."""
    base, const, stars, _ = _split(declaration, named=argument)
    wrap = lambda inner, depth: "POINTER(" * depth + inner + ")" * depth  # noqa: E731
    if stars == 0:
        if base == "void" and not argument:
            return "None"
        if base in NUMBERS and base != "char":
            return NUMBERS[base]
        if base in SYSTEM_HANDLES:
            return "c_void_p"
        if base in CALLBACKS:
            return CALLBACKS[base]
    elif base == "void" and stars == 1:
        return "c_void_p"
    elif base == "char" and stars == 1:
        return "c_char_p" if const else "POINTER(c_char)"
    elif base in HANDLES:
        return wrap("c_void_p", stars - 1)
    elif base in RECORDS:
        return wrap(RECORDS[base], stars)
    elif base in NUMBERS:
        return "c_void_p" if argument and const and stars == 1 else wrap(NUMBERS[base], stars)
    raise TableError(f"no ctypes form for {declaration!r}: add its type to {Path(__file__).name} "
                     "(and a mirror of a record or callback to tivorn/_types.py)")


def _comment(text: str, indent: str) -> List[str]:
    return textwrap.wrap(text, 110 - len(indent), initial_indent=indent + "# ", subsequent_indent=indent + "# ")


def module_text(functions: List[Function]) -> str:
    """The source of tivorn/_prototypes.py."""
    blocks = {"ALWAYS": [], "OPTIONAL": []}
    used = set()
    for availability, lines in blocks.items():
        header = None
        for f in (f for f in functions if f.availability == availability):
            if f.header != header:
                header = f.header
                lines.append(f"    # ---- {HEADERS[header]}")
            result = ctype(f.result, argument=False)
            arguments = [ctype(p, argument=True) for p in f.parameters]
            used.update(re.findall(r"\w+", " ".join([result] + arguments)))
            lines += _comment(f.doc, "    ")
            lines.append(f'    "{f.name}": ({result}, [{", ".join(arguments)}]),')
    from_ctypes = sorted(used & ({"POINTER", "c_char_p", "c_void_p"} | set(NUMBERS.values())))
    from_types = sorted(used & (set(RECORDS.values()) | set(CALLBACKS.values())))
    out = ["# Made by python/generate_prototypes.py from include/tivorn/c_functions.inc: do not edit,",
           "# change the list and run the generator again.",
           '"""The ctypes prototypes of every function of the C interface: name -> (result, arguments)."""',
           f"from ctypes import {', '.join(from_ctypes)}", ""]
    if from_types:
        out += ["from ._types import ("] + [f"    {name}," for name in from_types] + [")", ""]
    out += ["# Exported by every library of this interface version.", "PROTOTYPES = {"]
    out += blocks["ALWAYS"]
    out += ["}", "",
            "# Added after the first release: declared only when the loaded library exports them.",
            "OPTIONAL_PROTOTYPES = {"]
    out += blocks["OPTIONAL"]
    out += ["}", ""]
    return "\n".join(out)


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    mode = ap.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true", help="fail when tivorn/_prototypes.py is not current")
    mode.add_argument("--list", action="store_true", help="print each function's name and availability")
    args = ap.parse_args()
    try:
        functions = read_table(TABLE.read_text(encoding="utf-8"))
        text = module_text(functions)
    except TableError as e:
        print(f"{TABLE}: {e}", file=sys.stderr)
        return 1
    if args.list:
        print("\n".join(f"{f.name} {f.availability}" for f in functions))
    elif args.check:
        if not MODULE.is_file() or MODULE.read_text(encoding="utf-8") != text:
            print(f"{MODULE} is not what {TABLE.name} makes: run python3 python/{Path(__file__).name}",
                  file=sys.stderr)
            return 1
        print(f"{MODULE.name} is current: {len(functions)} functions")
    else:
        MODULE.write_text(text, encoding="utf-8")
        print(f"wrote {MODULE}: {len(functions)} functions")
    return 0


if __name__ == "__main__":
    sys.exit(main())
