"""tivorn for Python: pictures, animations and animation caches as RGBA pixels,
over the library's C interface (ctypes, no compile step).

The library is looked up in this order: the TIVORN_LIBRARY environment variable
(a path), a copy beside this package, then the system's loader."""
from ._errors import TivornError
from .animation import Cache, ImageSet
from .image import FILTERS, MODES, Image

__all__ = ["Image", "ImageSet", "Cache", "TivornError", "FILTERS", "MODES"]
__version__ = "1.0.0"
