"""quorvel.Synthesizer and quorvel.synthesize: scores and MEX-style calls to samples."""

from __future__ import annotations

import warnings
from typing import Any, Iterable, Optional

import numpy as np

from . import _core
from ._convert import as_int, as_matrix
from ._errors import ArgumentError, ArgumentTypeError
from .result import Result
from .score import as_score

_ARG_NAMES = ("nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx", "fs", "VCV")


def _raise_refusal(printed: str, error: str) -> None:
    if error.startswith("out of memory"):
        raise MemoryError(error)
    if error.startswith("quorvel argument checking failed."):
        e = ArgumentError(error)
    else:
        e = RuntimeError(error)
    e.printed = printed  # what the MEX prints before the error (the usage text)
    raise e


def _signal_names(signals: Iterable[str]) -> list:
    if isinstance(signals, str):
        raise ArgumentTypeError("signals: expected a sequence of signal names, not one string")
    names = list(signals)
    if any(not isinstance(n, str) for n in names):
        raise ArgumentTypeError("signals: expected a sequence of signal names")
    return names


class Synthesizer:
    """One synthesiser that carries state across calls exactly as the loaded
    MEX function quorvel does: the glottal pulse under way, the frication
    source position and the noise generators continue from one call to the
    next, so repeated calls give the MEX's sequence of samples; a new
    Synthesizer starts afresh. Synthesizers share nothing: different ones run
    in parallel on different threads (the interpreter lock is released while
    C++ runs); one Synthesizer runs one call at a time.

    ``max_samples``: longest output accepted, samples (default: what fits in
    a quarter of the physical memory); a longer call raises MemoryError.
    """

    def __init__(self, max_samples: Optional[int] = None) -> None:
        n = 0 if max_samples is None else as_int("max_samples", max_samples)
        if n < 0 or (max_samples is not None and n == 0):
            raise ValueError("max_samples must be a positive number of samples")
        self._session = _core.Session(n)

    def _result(self, out: tuple) -> Result:
        status, printed, error, samples, fs, nacc, signals = out
        if status != 0:
            _raise_refusal(printed, error)
        bad = int(samples.size - np.count_nonzero(np.isfinite(samples)))
        if bad:
            # As the MEX warns (quorvel:nonfinite): the network diverged.
            warnings.warn(f"{bad} of {samples.size} samples are not finite numbers (the "
                          "simulation became unstable)", RuntimeWarning, stacklevel=3)
        return Result(samples, fs, printed, signals, nacc)

    def synthesize(self, score: Any, *, signals: Iterable[str] = ()) -> Result:
        """Synthesises a score: a quorvel.Score, a dict of score fields (lists
        or arrays in MATLAB's shapes, see quorvel.Score) or the path of a JSON
        score. ``signals``: names of internal signals to return beside the
        score's own (glottal_flow, lip_flow, mouth_pressure, ... at the output
        rate; Result.signals). Returns a Result (samples: 1-D float32,
        radiated pressure in dyn/cm²). Raises ArgumentError with the MEX's message when the call
        is refused, TypeError/ValueError for values that are no score."""
        s = as_score(score)
        return self._result(self._session.synthesize_score(s._core_fields(_signal_names(signals))))

    def quorvel(self, nss: Any, TAg0: Any, TAgP: Any, TF0: Any, TAF1: Any, TAF2: Any,
                dx: Any, fs: Any = None, VCV: Any = None) -> Result:
        """SIG = quorvel(nss, TAg0, TAgP, TF0, TAF1, TAF2, dx[, fs[, VCV]]) with
        the MEX's argument shapes: nss 1×1 sections; TAg0, TAgP, TF0 3×K
        break points [time ms; value (cm², cm², Hz); kind]; TAF1 3×F key
        frames [time ms; kind; frication source junction]; TAF2 nss×F areas
        in cm²; dx 1×1, 1×F or nss×F lengths in cm; fs Hz (None: 10000);
        VCV nonzero prints nAcc (None: off; with fs None the rate is 10000 Hz).
        A 1-D array is one row. Result.samples equals the MEX's SIG."""
        given = [nss, TAg0, TAgP, TF0, TAF1, TAF2, dx]
        if VCV is not None:
            given += [10000.0 if fs is None else fs, VCV]
        elif fs is not None:
            given.append(fs)
        args = [as_matrix(f"Argument {i + 1} ({_ARG_NAMES[i]})", v) for i, v in enumerate(given)]
        return self._result(self._session.call(args, 1))


def synthesize(score: Any, *, signals: Iterable[str] = ()) -> Result:
    """Synthesises one score with a fresh synthesiser: the same score always
    gives the same samples (those of the first call of a freshly loaded MEX).
    ``score`` is a quorvel.Score, a dict of score fields or the path of a
    JSON score; ``signals`` names internal signals to record. Returns a Result
    (samples: 1-D float32 radiated pressure in dyn/cm², fs in Hz)."""
    return Synthesizer().synthesize(score, signals=signals)
