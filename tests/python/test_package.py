"""The Python package against the library: numpy, Pillow and PNG views of the
pixels cross-checked with the library's own copies, the operations and their
errors, the host procs and file procs, image sets and caches, and that the
package declares every function of the C interface's list."""
import ctypes
import inspect
import io
import re
import threading
from pathlib import Path

import numpy as np
import pytest
from conftest import picture
from PIL import Image as PILImage

import tivorn
import tivorn.batch
from tivorn import _lib

TABLE = Path(__file__).resolve().parents[2] / "include" / "tivorn" / "c_functions.inc"


def test_numpy_sees_the_library_buffer_top_row_first(tmp_path):
    a = picture(7, 5)
    image = tivorn.Image.from_numpy(a)
    view = np.asarray(image)
    np.testing.assert_array_equal(view, a)
    assert view.base is image and view.strides == (-28, 4, 1)
    # the library's bottom-up copy (blue, green, red) ends with numpy's top row
    bgr = np.frombuffer(image.fill_24bit(), np.uint8).reshape(5, 7, 3)
    np.testing.assert_array_equal(bgr[::-1, :, ::-1], a[:, :, :3])
    view[0, 0] = (1, 2, 3, 4)  # writes reach the picture
    image.save_tga(tmp_path / "a.tga")
    np.testing.assert_array_equal(tivorn.Image.open(tmp_path / "a.tga").to_numpy()[0, 0], (1, 2, 3, 4))
    assert image.to_numpy(copy=True).base is None and tivorn.Image().to_numpy().shape == (0, 0, 4)


def test_pillow_png_run_length_and_bitmaps_agree():
    a = picture(9, 6)
    image = tivorn.Image.from_pil(PILImage.fromarray(a))
    np.testing.assert_array_equal(np.asarray(image.to_pil()), a)
    np.testing.assert_array_equal(np.asarray(PILImage.open(io.BytesIO(image._repr_png_()))), a)
    rgb = tivorn.Image.from_pil(PILImage.fromarray(a[:, :, :3]))
    assert (np.asarray(rgb)[:, :, 3] == 255).all()
    np.testing.assert_array_equal(np.asarray(tivorn.Image.from_rle(image.compress_rle(), 9, 6)), a)
    with tivorn.Bitmap(9, 6, 24, image.fill_24bit(), 27) as bitmap:
        np.testing.assert_array_equal(np.asarray(tivorn.Image.from_bitmap(bitmap))[:, :, :3], a[:, :, :3])
    assert tivorn.Image()._repr_png_() is None and not np.asarray(tivorn.Image.new(3, 2)).any()


def test_resize_blur_transparency_and_geometry():
    image = tivorn.Image.from_numpy(picture(40, 30))
    seen = []
    assert image.resize(20, 10, filter="bilinear", progress=seen.append).size == (20, 10)
    assert image.original_size == (40, 30) and seen
    with pytest.raises(tivorn.TivornError):
        image.resize(30, 30, progress=lambda p: False)
    k = image.blur(2)
    assert image.size == (20 + 2 * k, 10 + 2 * k) and image.blur_kernel == k
    lin = tivorn.Image.from_numpy(picture(16, 16)).transparency("linear", top=100, bottom=0)
    alpha = lin.to_numpy()[:, :, 3]
    assert alpha[0].max() < alpha[-1].min() and lin.transparency_settings()["top"] == 100
    lin.restore_alpha()
    assert (lin.to_numpy()[:, :, 3] == 255).all()
    # one opaque pixel at column 1 of the library's row 2 (numpy's row 1 of 4)
    a = np.zeros((4, 5, 4), np.uint8)
    a[1, 1] = (5, 6, 7, 200)
    trimmed = tivorn.Image.from_numpy(a)
    assert trimmed.trim_by_alpha() == (1, 2) and trimmed.size == (1, 1)
    row = np.array([[[1, 0, 0, 9], [2, 0, 0, 9], [3, 0, 0, 9], [4, 0, 0, 9]]], np.uint8)
    wide = tivorn.Image.from_numpy(row).stretch_horizontally(7).to_numpy()[0, :, 0]
    assert list(wide) == [1, 2, 3, 3, 3, 3, 4]
    swapped = tivorn.Image.from_numpy(picture(3, 2)).to_bgra().flip_horizontal().flip_horizontal().to_numpy()
    np.testing.assert_array_equal(swapped[:, :, [2, 1, 0, 3]], picture(3, 2))
    copy = tivorn.Image().assign(image)
    assert copy.size == image.size and copy.blur_kernel == k


def test_errors_and_host_procs(tmp_path):
    with pytest.raises(tivorn.TivornError) as failure:
        tivorn.Image.open(tmp_path / "missing.tga")
    assert str(failure.value) and failure.value.status == -1
    # A cache that cannot be opened or saved says why, in the library's words.
    with pytest.raises(tivorn.TivornError, match="^Не удается открыть файл кэша$"):
        tivorn.Cache(tmp_path / "missing.kac")
    with tivorn.Cache(tmp_path / "empty.kac", writable=True) as cache:
        cache.save()
    with tivorn.Cache(tmp_path / "empty.kac") as cache:
        with pytest.raises(tivorn.TivornError, match="^Файл кэша открыт только для чтения$"):
            cache.save()
    assert tivorn.version() == tivorn.__version__
    tivorn.Image.from_numpy(picture(40, 30)).save_tga(tmp_path / "chosen.tga")
    messages, asked = [], []
    try:
        tivorn.set_message_proc(lambda text, caption: messages.append(text))
        with pytest.raises(tivorn.TivornError) as failure:
            tivorn.Image.open(tmp_path / "missing.bmp")
        assert messages == [str(failure.value)]
        tivorn.set_open_file_proc(lambda folder, filters: asked.append((folder, filters)) or
                                  str(tmp_path / "chosen.tga"))
        image = tivorn.Image.open(tmp_path, dialog=True)
        assert image.file_name == str(tmp_path / "chosen.tga") and asked[0][0] == str(tmp_path)
        assert any("*.tga" in patterns for _, patterns in asked[0][1])

        def dialog(d, owner):
            assert owner == 77 and d.text(1000) == "40" and d.end_code == 0
            assert d.type(1000, "20") and d.click(1)
        tivorn.set_properties_dialog_proc(dialog)
        assert image.show_properties(owner=77) and image.size == (20, 15)
    finally:
        tivorn.set_message_proc(None)
        tivorn.set_open_file_proc(None)
        tivorn.set_properties_dialog_proc(None)


def test_image_set_and_cache(tmp_path):
    frames = [picture(6, 4, shift=20 * i) for i in range(3)]
    for i, a in enumerate(frames):
        tivorn.Image.from_numpy(a).save_tga(tmp_path / f"run{i + 1:04}.tga")
    images = tivorn.ImageSet(tmp_path / "run0001.tga")
    images.keep_ready(2)
    passed = threading.Event()
    images.on_preload(passed.set)
    images.preload_all()
    assert passed.wait(30)  # the loader's pass calls back on its own thread
    got = [np.asarray(frame).copy() for frame in images.copy()]
    assert len(got) == 3 and all((g == a).all() for g, a in zip(got, frames))
    with tivorn.Cache(tmp_path / "run.kac", writable=True) as cache:
        cache.add(tmp_path / "run0001.tga")
        cache.save()
        assert cache.writable and cache.file_name == str(tmp_path / "run.kac")
    with tivorn.Cache(tmp_path / "run.kac") as cache:
        assert [n for _, n in cache.entries()] == [3] and not cache.writable
        assert cache.frame_name(0, 2) == str(tmp_path / "run0003.tga")
        assert cache.file_size == (tmp_path / "run.kac").stat().st_size
        for frame, a in zip(cache.frames(0), frames):
            np.testing.assert_array_equal(np.asarray(frame), a)
        cache.reopen_as_writable()
        cache.delete(0)
        cache.save()
        cache.reopen()
        assert len(cache) == 0


def test_file_procs_through_the_record_mirror(tmp_path):
    # The library's own procs called through the record, then a host's that pass
    # everything on to them and watch the opens.
    system = _lib.FileProcs()
    _lib.lib.tvnGetSystemFileProcs(ctypes.byref(system))
    tivorn.Image.from_numpy(picture(3, 2)).save_tga(tmp_path / "a.tga")
    name = _lib.path_bytes(tmp_path / "a.tga")
    assert system.exists(name, system.user) == 1 and system.exists(name + b"x", system.user) == 0
    file = system.open(name, 0, system.user)
    assert file and system.size(file, system.user) == (tmp_path / "a.tga").stat().st_size
    system.close(file, system.user)
    opened = []
    watching = _lib.FileProcs.from_buffer_copy(system)
    watching.open = type(system.open)(lambda path, access, user: opened.append(path) or
                                      system.open(path, access, user))
    _lib.lib.tvnSetFileProcs(ctypes.byref(watching))
    try:
        assert tivorn.Image.open(tmp_path / "a.tga").size == (3, 2)
    finally:
        _lib.lib.tvnSetFileProcs(None)
    assert name in opened


def test_every_function_of_the_c_list_is_declared_and_every_public_name_documented():
    if not TABLE.is_file():
        pytest.skip("no source tree beside the tests")
    table = re.sub(r"/\*.*?\*/", "", TABLE.read_text(), flags=re.S)
    listed = re.findall(r"TVN_FUNCTION\(\s*\w+\s*,\s*(\w+)\s*,[^,]*,\s*(\w+)", table)
    assert len(listed) >= 87
    assert {n for a, n in listed if a == "ALWAYS"} == set(_lib.PROTOTYPES)
    assert {n for a, n in listed if a == "OPTIONAL"} == set(_lib.OPTIONAL_PROTOTYPES)
    assert _lib.lib.tvnRGBA(1, 2, 3, 4) == 0x04030201 and _lib.lib.tvnGetAValue(0x04030201) == 4
    for module in (tivorn, tivorn.batch):
        for name in module.__all__:
            item = getattr(module, name)
            if inspect.isclass(item) or inspect.isfunction(item):
                assert item.__doc__, name
            for member, value in inspect.getmembers(item if inspect.isclass(item) else None):
                if not member.startswith("_") and (inspect.isfunction(value) or isinstance(value, property)):
                    assert value.__doc__, f"{name}.{member}"
