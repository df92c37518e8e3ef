"""Runs the tasks of a batch on a Dask cluster, on a local pool of processes or in
this process, with a progress bar, and cleans up after an interrupt."""
import concurrent.futures
import glob
import multiprocessing
import os
import secrets
import sys
from typing import Any, Callable, Dict, Iterable, List, Optional, Sequence, Tuple, Union

from . import _tasks
from ._tasks import Result

Item = Tuple[str, Optional[str]]  # (source, output), both absolute
Chunk = Tuple[List[int], List[Item]]  # indices into the batch, and their items
OnResult = Optional[Callable[[Result], None]]


class _Collector:
    """Puts each chunk's Results in input order, with the progress bar and the callback."""

    def __init__(self, names: List[str], progress: Optional[bool], on_result: OnResult, label: str) -> None:
        self.results: List[Optional[Result]] = [None] * len(names)
        self.names = names
        self.on_result = on_result
        show = sys.stderr.isatty() if progress is None else progress
        self.bar = None
        if show:
            from tqdm import tqdm
            self.bar = tqdm(total=len(names), unit="file", desc=label, file=sys.stderr)

    def add(self, indices: List[int], chunk: List[Result]) -> None:
        for i, result in zip(indices, chunk):
            # the record names the input as the caller did, not as the worker saw it
            result = Result(self.names[i], result.output, result.size, result.seconds, result.error)
            self.results[i] = result
            if self.on_result:
                self.on_result(result)
        if self.bar:
            self.bar.update(len(chunk))

    def fail(self, indices: List[int], items: List[Item], why: str) -> None:
        self.add(indices, [Result(source, output, 0, 0.0, why) for source, output in items])

    def close(self) -> None:
        if self.bar:
            self.bar.close()


def _run_here(operation: str, chunks: List[Chunk], token: str, params: Dict[str, Any],
              collect: _Collector) -> None:
    for indices, items in chunks:
        collect.add(indices, [_tasks.run_one(operation, s, o, token, params) for s, o in items])


def _run_pool(operation: str, chunks: List[Chunk], token: str, params: Dict[str, Any],
              collect: _Collector, workers: int) -> None:
    """A spawn-started pool (no fork of a process that may run library threads).
    Chunks lost with a dead worker process are run once more on a fresh pool."""
    for _ in range(2):
        pool = concurrent.futures.ProcessPoolExecutor(workers, mp_context=multiprocessing.get_context("spawn"),
                                                      initializer=_tasks.ignore_interrupts)
        lost = []
        try:
            futures = {pool.submit(_tasks.run_chunk, operation, items, token, params): (indices, items)
                       for indices, items in chunks}
            for future in concurrent.futures.as_completed(futures):
                indices, items = futures[future]
                try:
                    collect.add(indices, future.result())
                except concurrent.futures.process.BrokenProcessPool:
                    lost.append((indices, items))
                except Exception as e:  # the task itself could not run (not a file's failure)
                    collect.fail(indices, items, f"task failed: {type(e).__name__}: {e}")
        except BaseException:
            for process in list((getattr(pool, "_processes", None) or {}).values()):
                process.terminate()  # at once: their unfinished writes are swept after
            pool.shutdown(wait=True, cancel_futures=True)
            raise
        pool.shutdown(wait=True)
        chunks = lost
        if not chunks:
            return
    for indices, items in chunks:
        collect.fail(indices, items, "its worker process died")


def _run_dask(operation: str, chunks: List[Chunk], token: str, params: Dict[str, Any],
              collect: _Collector, client: Any) -> None:
    """One task per chunk; the scheduler reruns the tasks of a worker that dies."""
    import distributed
    own = isinstance(client, str)
    if own:
        client = distributed.Client(client)
    futures = client.map(_tasks.run_chunk, [operation] * len(chunks), [items for _, items in chunks],
                         [token] * len(chunks), [params] * len(chunks), pure=False)
    where = {future.key: chunk for future, chunk in zip(futures, chunks)}
    try:
        for future in distributed.as_completed(futures):
            indices, items = where[future.key]
            try:
                collect.add(indices, future.result())
            except Exception as e:  # the scheduler gave up on the task (KilledWorker, ...)
                collect.fail(indices, items, f"task failed: {type(e).__name__}: {e}")
    except BaseException:
        client.cancel(futures)
        raise
    finally:
        if own:
            client.close()


def _sweep(folders: Iterable[str], token: str) -> None:
    """Removes what this batch left under temporary names (a killed worker's writes)."""
    for folder in folders:
        for leftover in glob.glob(os.path.join(glob.escape(folder), f".*.{token}.*.part")):
            try:
                os.remove(leftover)
            except OSError:
                pass


def run(operation: str, items: List[Item], names: List[str], params: Dict[str, Any], *,
        refused: Dict[int, str], client: Any, workers: Optional[int], progress: Optional[bool],
        on_result: OnResult, chunk_size: int, label: str) -> List[Result]:
    """Runs operation over items; refused[i] is the error of an item not run at all."""
    token = secrets.token_hex(4)
    collect = _Collector(names, progress, on_result, label)
    for i, why in refused.items():
        collect.add([i], [Result(names[i], items[i][1], 0, 0.0, why)])
    todo = [i for i in range(len(items)) if i not in refused]
    chunks = [(todo[k:k + chunk_size], [items[i] for i in todo[k:k + chunk_size]])
              for k in range(0, len(todo), chunk_size)]
    folders = {os.path.dirname(output) for _, output in items if output}
    try:
        if not chunks:
            pass
        elif client is not None:
            _run_dask(operation, chunks, token, params, collect, client)
        elif workers == 0:
            _run_here(operation, chunks, token, params, collect)
        else:
            _run_pool(operation, chunks, token, params, collect, min(workers or available_cores(), len(chunks)))
    finally:
        collect.close()
        _sweep(folders, token)
    return [r for r in collect.results if r is not None]


def available_cores() -> int:
    """The processors this process may run on."""
    try:
        return len(os.sched_getaffinity(0))
    except (AttributeError, OSError):
        return os.cpu_count() or 1


def expand(inputs: Union[str, "os.PathLike[str]", Sequence[Union[str, "os.PathLike[str]"]]]) -> List[Tuple[str, bool]]:
    """Files from names and glob patterns, in the order given (each pattern's matches
    sorted): (name, found). A pattern that matches nothing stays, not found."""
    if isinstance(inputs, (str, os.PathLike)):
        inputs = [inputs]
    out = []
    for item in inputs:
        name = os.fspath(item)
        if glob.has_magic(name):
            matches = sorted(glob.glob(name, recursive=True))
            out.extend((m, True) for m in matches) if matches else out.append((name, False))
        else:
            out.append((name, True))
    return out
