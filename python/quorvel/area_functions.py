"""VT area-function files, the four-tube model and tube-model tracks."""

from __future__ import annotations

import os
from typing import Any, Optional, Tuple, Union

import numpy as np

from . import _core
from ._convert import as_int, as_path, as_vector
from ._errors import ArgumentError


def read_vtaf(path: Union[str, os.PathLike], n: Optional[int] = None
              ) -> Tuple[np.ndarray, np.ndarray, str, Optional[int]]:
    """Reads a VT area-function file (label, number of sections, section
    length in cm, areas in cm², and in a consonant file the noise-source
    section). Returns ``(areas, lengths, label, noise_section)``: areas in cm²
    and lengths in cm as 1-D float64 arrays of one value per section (glottis
    first), noise_section an int or None. With ``n``, a file holding another
    number of sections is refused. Raises FileError naming the file and,
    for malformed contents, the token, the line and what was expected."""
    nn = None if n is None else as_int("n", n)
    return _core.read_vtaf(as_path("path", path), nn)


def four_tube_af(areas: Any, lengths: Any, n: int) -> Tuple[np.ndarray, np.ndarray]:
    """Area function of ``n`` equal sections (1..1000000) from a four-tube
    model: ``areas`` (cm²) and ``lengths`` (cm) of tubes 1 to 4 from the
    glottis, four values each. Returns ``(areas, lengths)``, 1-D float64 of
    n values: each section the length-weighted mean area over its extent,
    length total/n. ValueError for negative or non-finite values."""
    a = as_vector("areas", areas)
    x = as_vector("lengths", lengths)
    return _core.four_tube_af(a.tolist(), x.tolist(), as_int("n", n))


def tube_track(path: Union[str, os.PathLike], samples: Any, fs: float = 10000,
               kind: int = 0) -> Tuple[np.ndarray, np.ndarray, np.ndarray]:
    """Area and length of a tube moving along raised cosines between the keys
    of a tube key file. ``samples``: output sample indices (whole numbers from
    0 to 4294967295, any shape and order); ``fs``: output sampling frequency,
    Hz; ``kind``: law before the first key (0 zero, 1 linear, 2 cosine).
    Returns ``(areas cm², lengths cm, ended)``, float64 arrays of the shape of
    ``samples``; ended is 1 from the last key's sample on. Raises FileError."""
    s = np.asarray(samples)
    if s.dtype.kind not in "iuf" or s.dtype.kind == "b":
        raise ArgumentError("samples: expected whole sample indices")
    flat = s.astype(np.float64).reshape(-1)
    if flat.size and (not np.all(np.isfinite(flat)) or np.any(flat != np.trunc(flat))
                      or flat.min() < 0 or flat.max() > 4294967295):
        raise ArgumentError("samples must hold whole sample indices from 0 to 4294967295")
    rate = float(fs)
    a, x, ended = _core.tube_track(as_path("path", path), flat.astype(np.uint64).tolist(),
                                   rate, as_int("kind", kind))
    return a.reshape(s.shape), x.reshape(s.shape), ended.reshape(s.shape)
