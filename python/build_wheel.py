"""Builds the tivorn wheel with the library inside it, offline, with the
interpreter's own setuptools and wheel (Debian: python3-setuptools, python3-wheel):

  /usr/bin/python3 python/build_wheel.py --library build/lib/libtivorn.so --out dist

The package sources are staged in a scratch folder together with the library (as
tivorn/libtivorn.so, or tivorn.dll) and the repository's LICENSE when it has one,
so the checkout stays clean. Prints the wheel's path."""
import argparse
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent


def build(library: Path, out: Path) -> Path:
    """The wheel file made from this folder and library, written into out."""
    out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch:
        stage = Path(scratch) / "tivorn-src"
        shutil.copytree(HERE, stage, ignore=shutil.ignore_patterns(
            "__pycache__", "build", "dist", "*.egg-info", "bench", "libtivorn.so*", "tivorn.dll", "*.dylib"))
        name = "tivorn.dll" if library.suffix == ".dll" else "libtivorn.so"
        shutil.copyfile(library.resolve(), stage / "tivorn" / name)
        for license_file in HERE.parent.glob("LICEN[CS]E*"):
            shutil.copyfile(license_file, stage / license_file.name)
        before = set(out.glob("tivorn-*.whl"))
        subprocess.run([sys.executable, "-m", "pip", "wheel", "--no-build-isolation", "--no-deps", "--no-index",
                        "--quiet", "--wheel-dir", str(out), str(stage)], check=True)
        made = sorted(set(out.glob("tivorn-*.whl")) - before) or sorted(out.glob("tivorn-*.whl"))
        return made[-1]


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--library", type=Path, default=HERE.parent / "build" / "lib" / "libtivorn.so")
    ap.add_argument("--out", type=Path, default=HERE.parent / "dist")
    args = ap.parse_args()
    if not args.library.is_file():
        sys.exit(f"build_wheel: no library at {args.library} (build the tivorn target first)")
    print(build(args.library, args.out))


if __name__ == "__main__":
    main()
