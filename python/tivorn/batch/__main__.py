"""python -m tivorn.batch resize|convert|pack|verify ...: batch work over many
files on a pool of local processes or a Dask cluster. Exit status 0 when every
input succeeded, 1 when any failed (one line per failure on stderr), 2 for bad
arguments, 130 after Ctrl-C."""
import argparse
import sys
import time
from typing import List, Optional

from . import FILTERS, convert, pack, parse_alpha, parse_size, resize, verify

PROGRAM = "tivorn.batch"


class _Step(argparse.Action):
    """Collects the steps of convert in the order of the command line."""

    def __call__(self, parser, namespace, value, option_string=None):
        kind = option_string.lstrip("-")
        try:
            if kind == "size":
                parse_size(value)
            elif kind == "alpha":
                parse_alpha(value)
        except ValueError as e:
            parser.error(str(e))
        steps = getattr(namespace, "steps", None) or []
        steps.append((kind,) if value is None or value == [] else (kind, value))
        namespace.steps = steps


def _positive(text: str) -> int:
    if not text.isdigit() or int(text) < 1:
        raise argparse.ArgumentTypeError(f"'{text}' is not a whole number of at least 1")
    return int(text)


def _size(text: str):
    try:
        return parse_size(text)
    except ValueError as e:
        raise argparse.ArgumentTypeError(str(e))


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(prog=f"python -m {PROGRAM}", description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True, metavar="COMMAND")

    def command(name: str, help: str, files: str) -> argparse.ArgumentParser:
        sub = commands.add_parser(name, help=help, description=help)
        where = sub.add_mutually_exclusive_group()
        where.add_argument("--scheduler", metavar="ADDRESS", help="run on this Dask scheduler (tcp://host:8786)")
        where.add_argument("--workers", type=_positive, metavar="N",
                           help="local worker processes (default: one per processor)")
        sub.add_argument("--chunk", type=_positive, default=1, metavar="N", help="files per task (default 1)")
        sub.add_argument("-q", "--quiet", action="store_true", help="no progress bar and no summary")
        sub.add_argument("files", nargs="+", metavar=files, help="names or quoted glob patterns ('in/**/*.jpg')")
        return sub

    sub = command("resize", "resize each picture and write DIR/NAME.tga", "FILE")
    sub.add_argument("--size", required=True, type=_size, metavar="WxH")
    sub.add_argument("--filter", default="bicubic", choices=FILTERS, metavar="NAME",
                     help=f"{', '.join(FILTERS)} (default bicubic)")
    sub.add_argument("--out", required=True, metavar="DIR")

    sub = command("convert", "run tivorn convert's steps, in the order given, on each picture", "FILE")
    sub.add_argument("--out", required=True, metavar="DIR")
    sub.add_argument("--format", default="tga", choices=("tga", "png"), help="DIR/NAME.tga (default) or .png")
    for option, metavar in (("--size", "WxH"), ("--blur", "K"), ("--alpha", "MODE:VALUES"), ("--flip", "h|v"),
                            ("--stretch", "W")):
        sub.add_argument(option, action=_Step, metavar=metavar, dest="steps")
    for option in ("--gray", "--bgra", "--trim"):
        sub.add_argument(option, action=_Step, nargs=0, dest="steps")
    sub.add_argument("--filter", default="bicubic", choices=FILTERS, metavar="NAME")
    sub.add_argument("--rough", action="store_true", help="every --size by the nearest pixel")

    sub = command("pack", "pack each frame run into DIR/RUN.kac (walk0001.tga gives walk.kac)", "FIRST_FRAME")
    sub.add_argument("--out", required=True, metavar="DIR")

    command("verify", "open each cache and unpack every frame", "CACHE")
    return parser


def main(argv: Optional[List[str]] = None) -> int:
    """Runs the command line; returns the exit status."""
    parser = _parser()
    args = parser.parse_args(argv)
    options = dict(client=args.scheduler, workers=args.workers, chunk_size=args.chunk,
                   progress=False if args.quiet else None)
    start = time.perf_counter()
    try:
        if args.command == "resize":
            results = resize(args.files, args.out, args.size, filter=args.filter, **options)
        elif args.command == "convert":
            results = convert(args.files, args.out, args.steps or [], filter=args.filter, rough=args.rough,
                              format=args.format, **options)
        elif args.command == "pack":
            results = pack(args.files, args.out, **options)
        else:
            results = verify(args.files, **options)
    except ValueError as e:
        parser.error(str(e))
    except KeyboardInterrupt:
        print(f"{PROGRAM}: interrupted; the files not finished were not written", file=sys.stderr)
        return 130
    except OSError as e:  # the scheduler cannot be reached
        print(f"{PROGRAM}: {e}", file=sys.stderr)
        return 1
    failed = [r for r in results if not r.ok]
    for r in failed:
        print(f"{PROGRAM}: {r.name}: {r.error}", file=sys.stderr)
    if not args.quiet:
        print(f"{args.command}: {len(results) - len(failed)} of {len(results)} files done in "
              f"{time.perf_counter() - start:.1f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
