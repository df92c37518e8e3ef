"""Batch resizing across worker processes: N pictures of 3000x2000 resized to
750x500 and written as TGA by tivorn.batch with 1 and 2 local workers (its
process pool and a Dask LocalCluster), and the same work done by Pillow in a
ProcessPoolExecutor with 1 and 2 workers. Also the Dask cluster's own cost per
task, from no-op tasks. One run of each; wall times.

  /usr/bin/python3 python/bench/batch_scaling.py [--count 400] [--format jpg] [--filter bilinear] [--folder DIR]
(TIVORN_LIBRARY=build/lib/libtivorn.so PYTHONPATH=python, or an installed wheel.)

The pictures are 8 photo-like originals copied to COUNT files (JPEG quality 90:
about 1.1 MB each; BMP: 18 MB each) in DIR (default: a scratch folder, removed
after), read once before timing so that every run finds them in the page cache."""
import argparse
import concurrent.futures
import multiprocessing
import os
import resource
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


def children_cpu() -> float:
    """Processor seconds of this process's finished children (the pools' workers)."""
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def pillow_batch(files, out: Path, workers: int, filter: str) -> "tuple[float, float]":
    out.mkdir(exist_ok=True)
    cpu, start = children_cpu(), time.perf_counter()
    with concurrent.futures.ProcessPoolExecutor(workers, mp_context=multiprocessing.get_context("spawn")) as pool:
        jobs = [pool.submit(pillow_resize, f, str(out / (Path(f).stem + ".tga")), filter) for f in files]
        for job in jobs:
            job.result()
    return time.perf_counter() - start, children_cpu() - cpu


def tivorn_batch(files, out: Path, filter: str, **where) -> "tuple[float, list]":
    from tivorn import batch
    start = time.perf_counter()
    results = batch.resize(files, out, SIZE, filter=filter, progress=False, **where)
    wall = time.perf_counter() - start
    failed = [r for r in results if not r.ok]
    assert not failed, failed[0]
    return wall, results


def tivorn_pool(files, out: Path, workers: int, filter: str) -> "tuple[float, float]":
    cpu = children_cpu()
    wall, _ = tivorn_batch(files, out, filter, workers=workers)
    return wall, children_cpu() - cpu


def tivorn_dask(files, out: Path, workers: int, filter: str, scratch: str, noop_tasks: int) -> "tuple[float, float]":
    import distributed
    with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=":0",
                                  local_directory=scratch) as cluster, distributed.Client(cluster) as client:
        before = client.run(time.process_time)  # also waits for the workers to be up
        wall, results = tivorn_batch(files, out, filter, client=client)
        after = client.run(time.process_time)
        work = statistics.mean(r.seconds for r in results)
        per_file = wall * workers / len(files)
        print(f"  dask {workers}: work per file {work * 1e3:.1f} ms wall in its task; wall x workers / files "
              f"{per_file * 1e3:.1f} ms: {(per_file - work) * 1e3:.1f} ms per task around the work")
        if workers == 2:
            noop_costs(client, noop_tasks)
    return wall, sum(after[w] - before[w] for w in before)


def noop(x):
    return x


def noop_costs(client, n: int) -> None:
    """Dask's own cost per task: wall time, and processor time of this process (the
    LocalCluster's scheduler and the client live here) and of the workers."""
    import distributed
    workers_before, start, cpu = client.run(time.process_time), time.perf_counter(), time.process_time()
    for future in distributed.as_completed(client.map(noop, range(n), pure=False)):
        future.result()
    wall, cpu = (time.perf_counter() - start) / n, (time.process_time() - cpu) / n
    workers_after = client.run(time.process_time)
    worker_cpu = sum(workers_after[w] - workers_before[w] for w in workers_before) / n
    print(f"  dask 2: {n} no-op tasks: {wall * 1e3:.2f} ms wall each ({1 / wall:.0f} tasks/s); processor time "
          f"per task: scheduler + client {cpu * 1e3:.2f} ms, workers {worker_cpu * 1e3:.2f} ms")


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--count", type=int, default=400)
    ap.add_argument("--format", default="jpg", choices=("jpg", "bmp", "tga"))
    ap.add_argument("--filter", default="bilinear", choices=FILTERS)
    ap.add_argument("--folder", type=Path)
    ap.add_argument("--noop-tasks", type=int, default=2000)
    args = ap.parse_args()
    import tivorn
    from tivorn import batch

    scratch = tempfile.mkdtemp(prefix="tivorn-batch-bench-")
    try:
        files = make_pictures(args.folder or Path(scratch) / "in", args.count, args.format)
        for f in files:  # into the page cache
            Path(f).read_bytes()
        print(f"{len(files)} pictures 3000x2000 .{args.format} -> 750x500 TGA, {args.filter}, "
              f"{batch._run.available_cores()} processors, tivorn {tivorn.version()}, load average "
              f"{os.getloadavg()[0]:.1f}")
        runs = {"tivorn pool": lambda w: tivorn_pool(files, Path(scratch) / f"pool{w}", w, args.filter),
                "tivorn dask": lambda w: tivorn_dask(files, Path(scratch) / f"dask{w}", w, args.filter, scratch,
                                                     args.noop_tasks),
                "Pillow pool": lambda w: pillow_batch(files, Path(scratch) / f"pil{w}", w, args.filter)}
        rows = {}
        for kind, run in runs.items():  # 1 and 2 workers back to back: the machine's load drifts
            for workers in (1, 2):
                rows[kind, workers] = run(workers)
        # cores: the workers' processor time over the wall time, what the machine gave them
        print(f"{'':16}{'workers':>8}{'wall s':>8}{'files/s':>9}{'CPU ms/file':>13}{'cores':>7}")
        for (kind, workers), (wall, cpu) in rows.items():
            print(f"{kind:16}{workers:8}{wall:8.2f}{len(files) / wall:9.1f}{cpu / len(files) * 1e3:13.1f}"
                  f"{cpu / wall:7.2f}")
        for kind in runs:
            print(f"{kind}: 2 workers {rows[kind, 1][0] / rows[kind, 2][0]:.2f}x one worker")
        for workers in (1, 2):
            pil = rows["Pillow pool", workers][0]
            print(f"{workers} worker(s): tivorn pool {pil / rows['tivorn pool', workers][0]:.2f}x Pillow, "
                  f"tivorn dask {pil / rows['tivorn dask', workers][0]:.2f}x Pillow")
        print(f"load average at the end: {' '.join(f'{v:.1f}' for v in os.getloadavg())}")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
