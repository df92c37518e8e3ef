"""tivorn.batch on a real Dask cluster (two worker processes, one thread each), on
the local pool and in process: outputs byte-identical to the same calls made one
after another here, bad inputs reported without stopping the rest, a worker
killed mid-batch, and the command line's statuses and Ctrl-C."""
import multiprocessing
import os
import signal
import subprocess
import sys
import time

import numpy as np
import pytest
from conftest import picture

import tivorn
from tivorn import batch

distributed = pytest.importorskip("distributed")
STEPS = [("size", "50x40"), ("alpha", "ellipse:0,100"), ("blur", 2), ("flip", "h"), ("gray",)]


def local_cluster(tmp_path_factory):
    return distributed.LocalCluster(n_workers=2, processes=True, threads_per_worker=1, dashboard_address=":0",
                                    local_directory=str(tmp_path_factory.mktemp("dask")))


@pytest.fixture(scope="module")
def client(tmp_path_factory):
    with local_cluster(tmp_path_factory) as cluster, distributed.Client(cluster) as c:
        yield c


@pytest.fixture(scope="module")
def files(tmp_path_factory):
    """Pictures of several sizes and formats, frame runs, and a corrupt picture."""
    folder = tmp_path_factory.mktemp("in")
    pictures = []
    for i, (w, h) in enumerate([(64, 48), (200, 120), (33, 97), (120, 120), (7, 5), (150, 90)]):
        path = folder / f"pic{i}.tga"
        tivorn.Image.from_numpy(picture(w, h, shift=i)).save_tga(path)
        pictures.append(str(path))
    corrupt = folder / "corrupt.tga"
    corrupt.write_bytes(bytes(range(256)) * 3)
    firsts = []
    for r in range(3):
        for k in range(3):
            tivorn.Image.from_numpy(picture(20 + r, 10 + k, shift=40 * k)).save_tga(folder / f"walk{r}_{k + 1:04}.tga")
        firsts.append(str(folder / f"walk{r}_0001.tga"))
    return pictures, str(corrupt), firsts


def converted(source):
    """STEPS, one call each."""
    image = tivorn.Image.open(source).resize(50, 40).transparency("ellipse", center=0, border=100)
    image.blur(2)
    return image.flip_horizontal().to_grayscale()


def serial_convert(source, target):
    converted(source).save_tga(target)


def serial_pack(first, target):
    with tivorn.Cache(target, writable=True) as cache:
        cache.add(first)
        cache.save()


def same_bytes(results, reference_folder, make):
    """Each successful output equals make(input, reference) done here and now."""
    for r in results:
        if r.ok:
            reference = os.path.join(reference_folder, os.path.basename(r.output))
            make(r.name, reference)
            with open(r.output, "rb") as a, open(reference, "rb") as b:
                assert a.read() == b.read(), r.output
            assert r.size == os.path.getsize(r.output)


def test_each_operation_on_the_cluster_matches_serial_calls(client, files, tmp_path):
    pictures, corrupt, firsts = files
    (tmp_path / "ref").mkdir()
    ref = str(tmp_path / "ref")
    inputs = pictures + [corrupt, str(tmp_path / "missing.tga")]
    results = batch.resize(inputs, tmp_path / "small", (37, 23), filter="hamming", client=client)
    assert [r.name for r in results] == inputs and [r.ok for r in results] == [True] * 6 + [False] * 2
    assert results[6].error and results[7].error and not os.path.exists(tmp_path / "small" / "corrupt.tga")
    same_bytes(results, ref, lambda s, t: tivorn.Image.open(s).resize(37, 23, filter="hamming").save_tga(t))

    converted = batch.convert(pictures[:4], tmp_path / "conv", STEPS, client=client.scheduler.address)
    assert all(r.ok for r in converted)
    same_bytes(converted, ref, serial_convert)

    packed = batch.pack(firsts + [str(tmp_path / "none0001.tga")], tmp_path / "caches", client=client,
                        chunk_size=2)
    assert [os.path.basename(r.output) for r in packed] == ["walk0.kac", "walk1.kac", "walk2.kac", "none.kac"]
    assert [r.ok for r in packed] == [True] * 3 + [False]
    same_bytes(packed, ref, serial_pack)

    broken = tmp_path / "caches" / "broken.kac"
    broken.write_bytes((tmp_path / "caches" / "walk1.kac").read_bytes()[:-9])
    checked = batch.verify(str(tmp_path / "caches" / "*.kac"), client=client)
    assert [(os.path.basename(r.name), r.ok) for r in checked] == [
        ("broken.kac", False), ("walk0.kac", True), ("walk1.kac", True), ("walk2.kac", True)]
    assert checked[1].size == os.path.getsize(packed[0].output)
    assert not [n for n in os.listdir(tmp_path / "caches") if n.endswith(".part")]


def test_the_local_pool_and_this_process_give_the_same_bytes(files, tmp_path):
    pictures, corrupt, _ = files
    pooled = batch.convert(pictures + [corrupt], tmp_path / "pool", STEPS, workers=2, format="png")
    here = batch.convert(pictures + [corrupt], tmp_path / "here", STEPS, workers=0, format="png")
    assert [r.ok for r in pooled] == [r.ok for r in here] == [True] * 6 + [False]
    for a, b in zip(pooled[:6], here[:6]):
        with open(a.output, "rb") as x, open(b.output, "rb") as y:
            assert x.read() == y.read()
    from PIL import Image as PILImage
    np.testing.assert_array_equal(np.asarray(PILImage.open(pooled[1].output)), converted(pictures[1]).to_numpy())


def test_a_worker_killed_mid_batch_has_its_tasks_rerun(files, tmp_path, tmp_path_factory):
    source = files[0][1]
    names = []
    for i in range(40):
        names.append(str(tmp_path / f"copy{i:02}.tga"))
        os.symlink(source, names[-1])
    killed = []
    with local_cluster(tmp_path_factory) as cluster, distributed.Client(cluster) as c:
        pids = c.run(os.getpid)

        def kill_a_busy_worker(result):
            busy = [w for w, keys in c.processing().items() if keys and w in pids]
            if not killed and busy:  # a worker running or holding tasks
                os.kill(pids[busy[0]], signal.SIGKILL)
                killed.append(pids[busy[0]])
        results = batch.resize(names, tmp_path / "out", (90, 41), client=c, on_result=kill_a_busy_worker)
        assert killed and killed[0] not in c.run(os.getpid).values()

    def kill_a_pool_worker(result):  # the pool's processes, not the Dask workers of other tests
        pool = [p for p in multiprocessing.active_children() if p.name.startswith("SpawnProcess")]
        if not killed[1:] and pool:
            os.kill(pool[0].pid, signal.SIGKILL)
            killed.append(pool[0].pid)
    pooled = batch.resize(names, tmp_path / "pool", (90, 41), workers=2, on_result=kill_a_pool_worker)
    assert len(killed) == 2
    tivorn.Image.open(source).resize(90, 41).save_tga(tmp_path / "reference.tga")
    reference = (tmp_path / "reference.tga").read_bytes()
    for out, rs in (("out", results), ("pool", pooled)):
        assert all(r.ok for r in rs), [r.error for r in rs if not r.ok]
        assert sorted(os.listdir(tmp_path / out)) == [f"copy{i:02}.tga" for i in range(40)]
        assert all((tmp_path / out / f"copy{i:02}.tga").read_bytes() == reference for i in range(40))


def cli(*args, **popen):
    command = [sys.executable, "-m", "tivorn.batch", *map(str, args)]
    if popen:
        return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, **popen)
    return subprocess.run(command, capture_output=True, text=True, timeout=300)


def test_command_line_statuses_and_interrupt(files, tmp_path):
    pictures, corrupt, firsts = files
    folder = os.path.dirname(corrupt)
    done = cli("resize", "--size", "20x10", "--out", tmp_path / "a", "--workers", "1", os.path.join(folder, "pic*"))
    assert (done.returncode, done.stderr) == (0, "") and "6 of 6" in done.stdout
    failed = cli("resize", "--size", "20x10", "--out", tmp_path / "b", "--workers", "1", "-q", pictures[0],
                 corrupt, tmp_path / "nothing*.bmp")
    lines = failed.stderr.splitlines()
    assert failed.returncode == 1 and failed.stdout == "" and len(lines) == 2
    assert lines[0].startswith(f"tivorn.batch: {corrupt}: ") and lines[1].endswith("nothing*.bmp: no file matches")
    for bad in (["resize", "--size", "0x5", "--out", tmp_path, corrupt], ["resize", "--size", "5x5", corrupt],
                ["pack", "--out", tmp_path, "--workers", "0", firsts[0]], ["verify"],
                ["convert", "--out", tmp_path, "--alpha", "ellipse:0", corrupt]):
        assert cli(*bad).returncode == 2, bad
    assert cli("pack", "--out", tmp_path / "c", "--workers", "1", "-q", *firsts).returncode == 0
    assert cli("verify", "--workers", "1", "-q", *(tmp_path / "c").iterdir()).returncode == 0

    for i in range(300):
        os.symlink(pictures[1], tmp_path / f"many{i:03}.tga")
    out = tmp_path / "many"
    running = cli("resize", "--size", "150x100", "--out", out, "--workers", "2", "-q", tmp_path / "many*.tga",
                  start_new_session=True)
    deadline = time.monotonic() + 120
    while not (out.is_dir() and [n for n in os.listdir(out) if not n.startswith(".")]):
        assert running.poll() is None and time.monotonic() < deadline
        time.sleep(0.005)
    running.send_signal(signal.SIGINT)
    _, err = running.communicate(timeout=120)
    assert running.returncode == 130 and "interrupted" in err
    written = os.listdir(out)
    assert 0 < len(written) < 300 and not [n for n in written if n.startswith(".")]
    tivorn.Image.open(pictures[1]).resize(150, 100).save_tga(tmp_path / "reference.tga")
    reference = (tmp_path / "reference.tga").read_bytes()
    assert all((out / n).read_bytes() == reference for n in written)
