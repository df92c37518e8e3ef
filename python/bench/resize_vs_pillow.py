"""Image.open(path).resize(750, 500) of a 3000x2000 picture: tivorn against
Pillow with the matching filter, same process, same file. Best of --repeat runs.

  TIVORN_LIBRARY=build/lib/libtivorn.so PYTHONPATH=python python3 python/bench/resize_vs_pillow.py [file ...]
Without files, one photo-like 3000x2000 picture is saved as JPEG (quality 90),
BMP and TGA (24-bit, uncompressed) in a scratch folder and each is measured."""
import argparse
import tempfile
import time
from pathlib import Path

import numpy as np
from PIL import Image as PILImage

import tivorn

FILTERS = {"bicubic": PILImage.BICUBIC, "bilinear": PILImage.BILINEAR, "box": PILImage.BOX,
           "hamming": PILImage.HAMMING}


def photo_like(folder, w=3000, h=2000):
    rng = np.random.default_rng(5)
    y, x = np.mgrid[0:h, 0:w]
    noise = rng.integers(0, 9, (h, w))
    rgb = np.stack([x * 255 // w + noise, y * 255 // h + noise, ((x // 37 + y // 53) % 3) * 90 + noise], -1)
    picture = PILImage.fromarray(rgb.clip(0, 255).astype(np.uint8))
    paths = [str(Path(folder) / f"photo.{ext}") for ext in ("jpg", "bmp", "tga")]
    picture.save(paths[0], quality=90)
    for path in paths[1:]:
        picture.save(path)
    return paths


def best(fn, repeat):
    times = []
    for _ in range(repeat):
        t = time.perf_counter()
        fn()
        times.append(time.perf_counter() - t)
    return min(times) * 1000


def measure(path, f, repeat):
    loaded_t = tivorn.Image.open(path)
    loaded_p = PILImage.open(path)
    loaded_p.load()
    source = f"{Path(path).name} {loaded_t.width}x{loaded_t.height}"
    rows = [
        ("open+resize", best(lambda: tivorn.Image.open(path).resize(750, 500, filter=f), repeat),
         best(lambda: PILImage.open(path).resize((750, 500), FILTERS[f]), repeat)),
        ("resize only", best(lambda: loaded_t.resize(750, 500, filter=f), repeat),
         best(lambda: loaded_p.resize((750, 500), FILTERS[f]), repeat)),
        ("open only", best(lambda: tivorn.Image.open(path), repeat),
         best(lambda: PILImage.open(path).load(), repeat)),
    ]
    print(f"{source} -> 750x500, {f}, best of {repeat}")
    for name, t, p in rows:
        print(f"  {name:12} tivorn {t:8.1f} ms   Pillow {p:8.1f} ms   Pillow/tivorn {p / t:5.2f}x")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("files", nargs="*")
    ap.add_argument("--filter", default="bicubic", choices=sorted(FILTERS))
    ap.add_argument("--repeat", type=int, default=7)
    args = ap.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        for path in args.files or photo_like(tmp):
            measure(path, args.filter, args.repeat)


if __name__ == "__main__":
    main()
