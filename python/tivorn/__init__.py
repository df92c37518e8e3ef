"""tivorn for Python: pictures, animations and animation caches as RGBA pixels,
over the library's C interface (ctypes, no compile step).

The library is looked up in this order: the TIVORN_LIBRARY environment variable
(a path), a copy inside this package (as a wheel carries it), then the system's
loader. tivorn.batch runs resizes, conversions, packing and checks over many
files on a pool of processes or a Dask cluster."""
from ._errors import TivornError
from ._lib import LIBRARY_PATH
from .animation import Cache, ImageSet
from .host import (Bitmap, PropertiesDialog, set_message_proc, set_open_file_proc, set_properties_dialog_proc,
                   set_worker_count, version)
from .image import FILTERS, MODES, Image

__all__ = ["Image", "ImageSet", "Cache", "TivornError", "FILTERS", "MODES", "Bitmap", "PropertiesDialog",
           "set_message_proc", "set_open_file_proc", "set_properties_dialog_proc", "set_worker_count", "version",
           "LIBRARY_PATH"]
__version__ = "1.0.0"
