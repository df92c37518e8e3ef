"""Shared by the Python tests: synthetic pictures, and the check that an installed
wheel (not the source tree) is what runs when the wheel test asks for it."""
import os

import numpy as np
import pytest


def picture(w, h, shift=0):
    """A (h, w, 4) uint8 picture whose every pixel differs from its neighbours."""
    y, x = np.mgrid[0:h, 0:w]
    rgba = np.stack([x * 9 + shift, y * 11, (x ^ y) + shift, np.full_like(x, 255)], axis=-1)
    return rgba.astype(np.uint8)


@pytest.fixture(scope="session", autouse=True)
def package_under_test():
    import tivorn
    if os.environ.get("TIVORN_EXPECT_WHEEL"):
        package = os.path.dirname(tivorn.__file__)
        assert "site-packages" in package, tivorn.__file__
        assert os.path.dirname(os.path.abspath(tivorn.LIBRARY_PATH)) == package, tivorn.LIBRARY_PATH
    return tivorn
