"""The Python package against the library: numpy row order both ways, the
operations, their errors, image sets and caches."""
import numpy as np
import pytest

import tivorn


def picture(w, h, shift=0):
    y, x = np.mgrid[0:h, 0:w]
    rgba = np.stack([x * 9 + shift, y * 11, (x ^ y) + shift, np.full_like(x, 255)], axis=-1)
    return rgba.astype(np.uint8)


def test_numpy_round_trip_is_top_down_and_a_view(tmp_path):
    a = picture(7, 5)
    image = tivorn.Image.from_numpy(a)
    assert image.size == (7, 5)
    np.testing.assert_array_equal(image.to_numpy(), a)
    image.save_tga(tmp_path / "a.tga")
    loaded = tivorn.Image.open(tmp_path / "a.tga")
    np.testing.assert_array_equal(loaded.to_numpy(copy=True), a)
    view = loaded.to_numpy()
    view[0, 0] = (1, 2, 3, 4)
    np.testing.assert_array_equal(loaded.copy().to_numpy()[0, 0], (1, 2, 3, 4))


def test_resize_blur_transparency():
    image = tivorn.Image.from_numpy(picture(40, 30))
    seen = []
    assert image.resize(20, 10, filter="bilinear", progress=seen.append).size == (20, 10)
    assert image.original_size == (40, 30) and seen
    with pytest.raises(tivorn.TivornError):
        image.resize(30, 30, progress=lambda p: False)
    k = image.blur(2)
    assert image.size == (20 + 2 * k, 10 + 2 * k)
    alpha = tivorn.Image.from_numpy(picture(16, 16)).transparency("linear", top=100, bottom=0).to_numpy()[:, :, 3]
    assert alpha[0].max() < alpha[-1].min()


def test_errors_carry_the_library_message(tmp_path):
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


def test_image_set_and_cache(tmp_path):
    frames = [picture(6, 4, shift=20 * i) for i in range(3)]
    for i, a in enumerate(frames):
        tivorn.Image.from_numpy(a).save_tga(tmp_path / f"run{i + 1:04}.tga")
    got = [frame.to_numpy(copy=True) for frame in tivorn.ImageSet(tmp_path / "run0001.tga")]
    assert len(got) == 3 and all((g == a).all() for g, a in zip(got, frames))
    with tivorn.Cache(tmp_path / "run.kac", writable=True) as cache:
        cache.add(tmp_path / "run0001.tga")
        cache.save()
    with tivorn.Cache(tmp_path / "run.kac") as cache:
        assert [n for _, n in cache.entries()] == [3]
        np.testing.assert_array_equal(cache.frame(0, 2).to_numpy(), frames[2])
