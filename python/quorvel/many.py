"""quorvel.synthesize_many and quorvel.Failure: many scores on a pool of C++ threads."""

from __future__ import annotations

import os
import time
import warnings
from collections.abc import Mapping
from typing import Any, Iterable, List, Optional, Union

import numpy as np

from . import _core
from ._convert import as_int
from .result import Result
from .score import Score, as_score
from .synthesizer import _raise_refusal, _signal_names


class Failure:
    """The place of a score that failed in ``synthesize_many(...,
    errors="return")``: a false value, so ``[r for r in results if r]``
    keeps the successes.

    - ``index``: position of the score in the input, from 0.
    - ``message``: what ``quorvel.synthesize`` would have raised for it (the
      MEX's or the score reader's message).
    - ``error_type``: name of that exception's class ("ArgumentError",
      "ArgumentTypeError", "FileError", "MemoryError", "RuntimeError", ...).
    - ``printed``: the text the MEX would print before its error (the usage
      text of a refused call), else "".
    """

    __slots__ = ("index", "message", "error_type", "printed")

    def __init__(self, index: int, message: str, error_type: str, printed: str = "") -> None:
        self.index = index
        self.message = message
        self.error_type = error_type
        self.printed = printed

    def __bool__(self) -> bool:
        return False

    def __repr__(self) -> str:
        return f"Failure(index={self.index}, {self.error_type}: {self.message!r})"


def _failure_of(index: int, e: BaseException) -> Failure:
    return Failure(index, str(e), type(e).__name__, getattr(e, "printed", ""))


def _result_of(index: int, out: tuple) -> Result:
    """The Result of one pool outcome; raises as quorvel.synthesize would."""
    status, printed, error, samples, fs, nacc, signals = out
    if status != 0:
        try:
            _raise_refusal(printed, error)
        except Exception as e:
            e.index = index  # type: ignore[attr-defined]
            raise
    bad = int(samples.size - np.count_nonzero(np.isfinite(samples)))
    if bad:
        warnings.warn(f"score {index}: {bad} of {samples.size} samples are not finite numbers "
                      "(the simulation became unstable)", RuntimeWarning, stacklevel=3)
    return Result(samples, fs, printed, signals, nacc)


def _progress_bar(total: int) -> Any:
    try:
        from tqdm import tqdm
    except ImportError:
        raise ImportError("progress=True needs tqdm (Debian: python3-tqdm)") from None
    return tqdm(total=total, unit="utt", desc="synthesising")


def synthesize_many(scores: Iterable[Any], *, workers: Optional[int] = None,
                    progress: bool = False, errors: str = "raise",
                    signals: Iterable[str] = (), lanes: int = 2) -> List[Union[Result, Failure]]:
    """Synthesises many scores on a pool of C++ threads and returns their
    Results in input order.

    - ``scores``: an iterable of what ``quorvel.synthesize`` takes (a
      quorvel.Score, a dict of score fields, the path of a JSON score). All
      are read and checked in this thread first; the synthesis then runs
      without the interpreter lock, so other Python threads go on.
    - ``workers``: number of threads, None for one per core. Each score is
      synthesised by a fresh synthesiser: its samples equal those of
      ``quorvel.synthesize(score)`` whatever ``workers`` is.
    - ``progress``: show a tqdm bar (utterances done of the total, speech
      seconds made per wall-clock second).
    - ``errors``: "raise" raises the failure of the first failing score in
      input order (the exception ``quorvel.synthesize`` raises for it, with
      ``.index`` set) and stops starting further ones; "return" puts a
      quorvel.Failure in place of each failed score and finishes the others.
    - ``signals``: internal signals to record for every score (see
      ``quorvel.synthesize``).
    - ``lanes``: scores each thread synthesises together, 1 to 8 (default
      2): the networks of those with the same section count and rates (and
      no nasal branch or trachea) advance in lockstep, one step of all per
      output sample, which gives about 1.2 times the speech per processor
      second; 1 synthesises one at a time. The Results are the same
      whatever ``lanes`` is.

    Returns a list of N Results (samples: 1-D float32 radiated pressure in
    dyn/cm², fs in Hz) or Failures. Ctrl-C stops the pool (the scores under
    way are abandoned) and raises KeyboardInterrupt.
    """
    if isinstance(scores, (str, bytes, os.PathLike, Mapping, Score)):
        raise TypeError("scores: expected a sequence of scores, not one score")
    if errors not in ("raise", "return"):
        raise ValueError(f'errors: expected "raise" or "return", got {errors!r}')
    n_workers = 0
    if workers is not None:
        n_workers = as_int("workers", workers)
        if not 1 <= n_workers <= 4096:
            raise ValueError(f"workers: expected 1 to 4096 threads or None, got {n_workers}")
    n_lanes = as_int("lanes", lanes)
    if not 1 <= n_lanes <= 8:
        raise ValueError(f"lanes: expected 1 to 8 scores per thread, got {n_lanes}")
    names = _signal_names(signals)
    items = list(scores)

    pool = _core.SynthesisPool()
    placed: List[Union[int, Failure]] = []  # per score: its pool position or its failure
    for i, score in enumerate(items):
        try:
            fields = as_score(score)._core_fields(names)
            pool.add(fields)
        except (ValueError, TypeError, OSError) as e:
            if errors == "raise":
                e.index = i  # type: ignore[attr-defined]
                # Only the scores before it can hold an earlier failure.
                for k, out in enumerate(_run(pool, n_workers, True, progress, i, n_lanes)):
                    if out is not None:
                        _result_of(k, out)
                raise
            placed.append(_failure_of(i, e))
            continue
        placed.append(len(pool) - 1)

    outs = _run(pool, n_workers, errors == "raise", progress, len(items), n_lanes)
    results: List[Union[Result, Failure]] = []
    for i, p in enumerate(placed):
        if isinstance(p, Failure):
            results.append(p)
            continue
        out = outs[p]
        if out is None:  # not started after an earlier failure
            continue
        try:
            results.append(_result_of(i, out))
        except (ValueError, RuntimeError, MemoryError) as e:
            if errors == "raise":
                raise
            results.append(_failure_of(i, e))
    return results


def _run(pool: Any, workers: int, stop_at_failure: bool, progress: bool, total: int,
         lanes: int) -> list:
    """Runs the pool, updating a progress bar from this thread while it does."""
    if not progress:
        return pool.run(workers, stop_at_failure, None, lanes=lanes)
    bar = _progress_bar(total)
    start = time.monotonic()
    before = total - len(pool)  # scores refused before the pool, already done

    def shown(done: int, speech_s: float) -> None:
        bar.update(before + done - bar.n)
        elapsed = time.monotonic() - start
        if elapsed > 0:
            bar.set_postfix_str(f"{speech_s / elapsed:.1f} speech-s/s", refresh=False)

    try:
        out = pool.run(workers, stop_at_failure, shown, lanes=lanes)
        bar.update(total - bar.n)
        return out
    finally:
        bar.close()
