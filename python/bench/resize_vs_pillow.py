"""Image.open(path).resize(750, 500) of a 3000x2000 picture: tivorn against
Pillow with the matching filter, same process, same file. Best of --repeat runs.

  TIVORN_LIBRARY=build/lib/libtivorn.so PYTHONPATH=python python3 python/bench/resize_vs_pillow.py [file]
Without a file, a photo-like 3000x2000 JPEG (quality 90) is made in a scratch folder."""
import argparse
import tempfile
import time
from pathlib import Path

import numpy as np
from PIL import Image as PILImage

import tivorn

FILTERS = {"bicubic": PILImage.BICUBIC, "bilinear": PILImage.BILINEAR, "box": PILImage.BOX,
           "hamming": PILImage.HAMMING}


def photo_like(path, w=3000, h=2000):
    rng = np.random.default_rng(5)
    y, x = np.mgrid[0:h, 0:w]
    noise = rng.integers(0, 9, (h, w))
    rgb = np.stack([x * 255 // w + noise, y * 255 // h + noise, ((x // 37 + y // 53) % 3) * 90 + noise], -1)
    PILImage.fromarray(rgb.clip(0, 255).astype(np.uint8)).save(path, quality=90)


def best(fn, repeat):
    times = []
    for _ in range(repeat):
        t = time.perf_counter()
        fn()
        times.append(time.perf_counter() - t)
    return min(times) * 1000


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("file", nargs="?")
    ap.add_argument("--filter", default="bicubic", choices=sorted(FILTERS))
    ap.add_argument("--repeat", type=int, default=7)
    args = ap.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        path = args.file or str(Path(tmp) / "photo.jpg")
        if not args.file:
            photo_like(path)
        f = args.filter
        loaded_t = tivorn.Image.open(path)
        loaded_p = PILImage.open(path)
        loaded_p.load()
        source = f"{Path(path).name} {loaded_t.width}x{loaded_t.height}"
        rows = [
            ("open+resize", best(lambda: tivorn.Image.open(path).resize(750, 500, filter=f), args.repeat),
             best(lambda: PILImage.open(path).resize((750, 500), FILTERS[f]), args.repeat)),
            ("resize only", best(lambda: loaded_t.resize(750, 500, filter=f), args.repeat),
             best(lambda: loaded_p.resize((750, 500), FILTERS[f]), args.repeat)),
        ]
    print(f"{source} -> 750x500, {f}, best of {args.repeat}")
    for name, t, p in rows:
        print(f"  {name:12} tivorn {t:8.1f} ms   Pillow {p:8.1f} ms   Pillow/tivorn {p / t:5.2f}x")


if __name__ == "__main__":
    main()
