"""Everything is in pyproject.toml; this only marks a build that carries the
compiled library (build_wheel.py puts it beside the modules) as one for this
platform: the wheel is tagged py3-none-<platform>, its files go to platlib."""
from pathlib import Path

from setuptools import setup
from setuptools.dist import Distribution

PACKAGE = Path(__file__).resolve().parent / "tivorn"
CARRIES_LIBRARY = any(next(PACKAGE.glob(p), None) for p in ("libtivorn.so*", "tivorn.dll", "libtivorn*.dylib"))


class LibraryDistribution(Distribution):
    """A distribution with a compiled part that is no Python extension module."""

    def has_ext_modules(self):
        return True


commands = {}
if CARRIES_LIBRARY:
    from wheel.bdist_wheel import bdist_wheel

    class PlatformWheel(bdist_wheel):
        """Any Python 3 (the library is loaded through ctypes), only this platform."""

        def get_tag(self):
            return "py3", "none", super().get_tag()[2]

    commands["bdist_wheel"] = PlatformWheel

setup(cmdclass=commands, distclass=LibraryDistribution if CARRIES_LIBRARY else Distribution)
