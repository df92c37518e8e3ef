"""Batch resizing across worker processes: N pictures of 3000x2000 resized to
750x500 and written as TGA by tivorn.batch with 1 and 2 local workers (its
process pool and a Dask LocalCluster), and the same work done by Pillow in a
ProcessPoolExecutor with 1 and 2 workers. Also the Dask cluster's own cost per
task, from no-op tasks. One run of each; wall times.

  /usr/bin/python3 python/bench/batch_scaling.py [--count 400] [--format jpg] [--filter bilinear] [--folder DIR]
(TIVORN_LIBRARY=build/lib/libtivorn.so PYTHONPATH=python, or an installed wheel.)

The pictures are 8 photo-like originals copied to COUNT files (JPEG quality 90:
about 1.4 MB each; BMP: 18 MB each) in DIR (default: a scratch folder, removed
after), read once before timing so that every run finds them in the page cache."""
import argparse
import concurrent.futures
import multiprocessing
import os
import shutil
import statistics
import tempfile
import time
from pathlib import Path

# Only the standard library at the top: spawned workers import this file again.
FILTERS = ("bilinear", "box", "hamming")
SIZE = (750, 500)


def make_pictures(folder: Path, count: int, fmt: str):
    import numpy as np
    from PIL import Image as PILImage
    folder.mkdir(parents=True, exist_ok=True)
    files = sorted(folder.glob(f"pic*.{fmt}"))
    if len(files) >= count:
        return [str(f) for f in files[:count]]
    y, x = np.mgrid[0:2000, 0:3000]
    originals = []
    for seed in range(8):
        noise = np.random.default_rng(seed).integers(0, 9, (2000, 3000))
        rgb = np.stack([(x * 255 // 3000 + seed * 30) % 256 + noise, y * 255 // 2000 + noise,
                        ((x // (37 + seed) + y // 53) % 3) * 90 + noise], -1)
        path = folder / f"original{seed}.{fmt}"
        PILImage.fromarray(rgb.clip(0, 255).astype(np.uint8)).save(path, **({"quality": 90} if fmt == "jpg" else {}))
        originals.append(path)
    files = []
    for i in range(count):
        files.append(folder / f"pic{i:04}.{fmt}")
        shutil.copyfile(originals[i % 8], files[-1])
    return [str(f) for f in files]


def pillow_resize(source: str, target: str, filter: str) -> None:
    from PIL import Image as PILImage
    picture = PILImage.open(source).resize(SIZE, getattr(PILImage.Resampling, filter.upper()))
    picture.convert("RGBA").save(target)  # a 32-bit TGA, as tivorn writes


def pillow_batch(files, out: Path, workers: int, filter: str) -> float:
    out.mkdir(exist_ok=True)
    start = time.perf_counter()
    with concurrent.futures.ProcessPoolExecutor(workers, mp_context=multiprocessing.get_context("spawn")) as pool:
        jobs = [pool.submit(pillow_resize, f, str(out / (Path(f).stem + ".tga")), filter)
                for f in files]
        for job in jobs:
            job.result()
    return time.perf_counter() - start


def tivorn_batch(files, out: Path, filter: str, **where) -> "tuple[float, list]":
    from tivorn import batch
    start = time.perf_counter()
    results = batch.resize(files, out, SIZE, filter=filter, progress=False, **where)
    wall = time.perf_counter() - start
    failed = [r for r in results if not r.ok]
    assert not failed, failed[0]
    return wall, results


def noop(x):
    return x


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--count", type=int, default=400)
    ap.add_argument("--format", default="jpg", choices=("jpg", "bmp", "tga"))
    ap.add_argument("--filter", default="bilinear", choices=FILTERS)
    ap.add_argument("--folder", type=Path)
    ap.add_argument("--noop-tasks", type=int, default=2000)
    args = ap.parse_args()
    import distributed

    import tivorn
    from tivorn import batch

    scratch = tempfile.mkdtemp(prefix="tivorn-batch-bench-")
    try:
        files = make_pictures(args.folder or Path(scratch) / "in", args.count, args.format)
        for f in files:  # into the page cache
            Path(f).read_bytes()
        print(f"{len(files)} pictures 3000x2000 .{args.format} -> 750x500 TGA, {args.filter}, "
              f"{batch._run.available_cores()} processors, tivorn {tivorn.version()}")
        rows = {}
        for workers in (1, 2):
            rows[f"tivorn pool {workers}"], _ = tivorn_batch(files, Path(scratch) / f"pool{workers}", args.filter,
                                                             workers=workers)
            with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                                          dashboard_address=":0", local_directory=scratch) as cluster, \
                    distributed.Client(cluster) as client:
                client.run(lambda: None)  # workers up
                wall, results = tivorn_batch(files, Path(scratch) / f"dask{workers}", args.filter, client=client)
                rows[f"tivorn dask {workers}"] = wall
                work = statistics.mean(r.seconds for r in results)
                print(f"  dask {workers}: mean work per file {work * 1000:.1f} ms; wall x workers / files "
                      f"{wall * workers / len(files) * 1000:.1f} ms; overhead {1000 * (wall * workers / len(files) - work):.1f} ms per task")
                if workers == 2:
                    start = time.perf_counter()
                    for future in distributed.as_completed(client.map(noop, range(args.noop_tasks), pure=False)):
                        future.result()
                    per_task = (time.perf_counter() - start) / args.noop_tasks
                    print(f"  dask 2: {args.noop_tasks} no-op tasks, {per_task * 1e3:.2f} ms each "
                          f"({1 / per_task:.0f} tasks/s through scheduler and client)")
            rows[f"Pillow pool {workers}"] = pillow_batch(files, Path(scratch) / f"pil{workers}", workers, args.filter)
        print(f"{'':18}{'wall s':>8}{'files/s':>9}")
        for name, wall in rows.items():
            print(f"{name:18}{wall:8.2f}{len(files) / wall:9.1f}")
        for kind in ("tivorn pool", "tivorn dask", "Pillow pool"):
            print(f"{kind}: 2 workers {rows[f'{kind} 1'] / rows[f'{kind} 2']:.2f}x one worker")
        for workers in (1, 2):
            print(f"{workers} worker(s): tivorn pool {rows[f'Pillow pool {workers}'] / rows[f'tivorn pool {workers}']:.2f}x "
                  f"Pillow, tivorn dask {rows[f'Pillow pool {workers}'] / rows[f'tivorn dask {workers}']:.2f}x Pillow")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
