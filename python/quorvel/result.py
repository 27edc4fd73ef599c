"""quorvel.Result: the samples of one synthesis call and what came with them."""

from __future__ import annotations

import os
from typing import Any, Dict, Optional, Union

import numpy as np

from . import _core
from ._convert import as_path


class Result:
    """Output of one synthesis call.

    - ``samples``: 1-D float32 array of N samples, the radiated sound
      pressure in dyn/cm² at 100 cm (speech peaks around 1), exactly the
      values the MEX function quorvel returns (there as doubles).
    - ``fs``: output sampling frequency, Hz.
    - ``signals``: dict of the requested internal signals, name -> 1-D array.
    - ``nacc``: narrowest section of the frication frames when the call set
      VCV, else None.
    - ``printed``: the text the MEX function would print (e.g. ``nAcc[12]``).

    ``numpy.asarray(result)`` gives the samples; ``len(result)`` is N.
    """

    __slots__ = ("samples", "fs", "signals", "nacc", "printed")

    def __init__(self, samples: np.ndarray, fs: float, printed: str = "",
                 signals: Optional[Dict[str, np.ndarray]] = None,
                 nacc: Optional[int] = None) -> None:
        self.samples = samples
        self.fs = float(fs)
        self.printed = printed
        self.signals = dict(signals or {})
        self.nacc = nacc

    @property
    def duration(self) -> float:
        """Length of the utterance, s."""
        return len(self.samples) / self.fs

    def __len__(self) -> int:
        return len(self.samples)

    def __array__(self, dtype: Any = None, copy: Any = None) -> np.ndarray:
        return self.samples if dtype is None else self.samples.astype(dtype)

    def __repr__(self) -> str:
        return f"Result({len(self.samples)} samples, {self.duration:g} s at {self.fs:g} Hz)"

    def write(self, path: Union[str, os.PathLike], normalize: bool = True) -> float:
        """Writes the samples as a mono sound file at ``fs`` and returns the
        factor applied. ``normalize``: scale the peak to 0.9 (the samples are
        a pressure whose peaks may exceed 1), else write them unscaled. The
        extension picks the container: ``.wav`` (32-bit float, the command
        line's format), ``.flac`` (24-bit PCM), ``.aiff``/``.aif``. The file
        appears complete or not at all. Raises FileError (also for another
        extension), or ValueError for a rate that is no whole number of Hz."""
        path = as_path("path", path)
        rate = self.fs
        if not (rate >= 1 and rate <= 2147483647 and float(rate).is_integer()):
            raise ValueError(f"fs = {rate!r} Hz cannot be written to a sound file: it must be "
                             "a whole number of Hz from 1 to 2147483647")
        finite = self.samples[np.isfinite(self.samples)]
        peak = float(np.max(np.abs(finite))) if finite.size else 0.0
        gain = float(np.float32(0.9) / np.float32(peak)) if normalize and peak > 0 else 1.0
        _core.write_sound(path, self.samples, int(rate), gain)
        return gain
