"""Frequency-domain analysis of an area function and the per-frame ground
truth of a score: the same network the synthesiser simulates (lumped tube
sections with viscous losses, air compliance, yielding walls, lip radiation,
optionally the nasal branch), driven at the glottis."""

from __future__ import annotations

import os
from typing import Any, Dict, Mapping, Optional, Tuple, Union

import numpy as np

from . import _core
from ._convert import as_vector
from ._errors import ArgumentError
from ._staged_file import write_staged
from .score import as_score

Glottis = Union[str, float]


def _geometry(areas: Any, lengths: Any) -> Tuple[list, list]:
    a = as_vector("areas", areas)
    x = np.atleast_1d(np.asarray(lengths, dtype=np.float64)).reshape(-1)
    if a.size == 0:
        raise ArgumentError("areas: no sections given")
    return a.tolist(), x.tolist()


def _glottal_area(glottis: Glottis) -> Optional[float]:
    if isinstance(glottis, str):
        if glottis != "closed":
            raise ArgumentError('glottis: "closed" or a glottal area in cm²')
        return None
    return float(glottis)


def _nasal(nasal: Optional[Mapping[str, Any]]) -> Optional[dict]:
    if nasal is None:
        return None
    d = dict(nasal)
    unknown = sorted(set(d) - {"areas", "lengths", "branch_section", "coupling_sections", "sinus"})
    if unknown:
        raise ArgumentError(f'nasal: unknown field "{unknown[0]}" (known: areas, lengths, '
                            "branch_section, coupling_sections, sinus)")
    if "areas" not in d or "lengths" not in d:
        raise ArgumentError("nasal: a dict with areas and lengths (cm², cm; velum first), "
                            "optionally branch_section, coupling_sections and sinus")
    d["areas"], d["lengths"] = _geometry(d["areas"], d["lengths"])
    return d


def transfer_function(areas: Any, lengths: Any, freqs: Any = None, *,
                      nasal: Optional[Mapping[str, Any]] = None, glottis: Glottis = "closed",
                      warp_fs: Optional[float] = None) -> Tuple[np.ndarray, np.ndarray]:
    """Transfer function from the glottal volume velocity to the radiated
    volume velocity (lips plus nostrils) of an area function.

    ``areas`` in cm² (glottis first, finite, >= 0), ``lengths`` in cm (one
    value or one per section, >= 0), ``freqs`` in Hz (strictly increasing,
    default 0..5000 Hz in 10 Hz steps). ``nasal``: a dict with ``areas``,
    ``lengths`` of the nasal branch (velum coupling first, nostrils last),
    optional ``branch_section`` (9), ``coupling_sections`` (3), ``sinus``
    (False). ``glottis``: "closed" (ideal volume-velocity source) or a
    glottal area in cm². ``warp_fs``: simulation rate (Hz) whose trapezoidal
    rule the response is seen through. Returns ``(freqs, H)``, H complex."""
    f = np.arange(0.0, 5001.0, 10.0) if freqs is None else as_vector("freqs", freqs)
    if warp_fs is not None and freqs is None:
        f = f[f < 0.5 * float(warp_fs)]
    a, x = _geometry(areas, lengths)
    lips, nostrils, _, _ = _core.transfer_function(a, x, f.tolist(), _nasal(nasal),
                                                   _glottal_area(glottis),
                                                   None if warp_fs is None else float(warp_fs))
    return f, lips + nostrils


def formants(areas: Any, lengths: Any, count: int = 4, *,
             nasal: Optional[Mapping[str, Any]] = None, glottis: Glottis = "closed",
             warp_fs: Optional[float] = None, max_hz: Optional[float] = None,
             antiresonances: bool = False) -> Tuple[np.ndarray, np.ndarray]:
    """The first ``count`` resonances (``antiresonances=True``: zeros of
    the radiated flow, with a nasal branch) of an area function as
    ``(frequencies_hz, bandwidths_hz)``; arguments as for
    transfer_function. ``max_hz`` bounds the search (default 1200·count +
    1000 Hz, below half of warp_fs)."""
    if int(count) < 1:
        raise ArgumentError("count must be >= 1")
    limit = float(max_hz) if max_hz is not None else 1200.0 * int(count) + 1000.0
    if warp_fs is not None and max_hz is None:
        limit = min(limit, 0.49 * float(warp_fs))
    a, x = _geometry(areas, lengths)
    f, b = _core.formants(a, x, limit, _nasal(nasal), _glottal_area(glottis),
                          None if warp_fs is None else float(warp_fs), bool(antiresonances))
    return np.asarray(f[:int(count)]), np.asarray(b[:int(count)])


def tracks(score: Any, every_ms: float = 5, *,
           textgrid: Optional[Union[str, "os.PathLike[str]"]] = None) -> Dict[str, np.ndarray]:
    """Per-frame ground truth of a score's utterance, every ``every_ms`` ms:
    ``time_ms``, ``F0_Hz``, ``Ag_cm2`` (glottal area), ``Psub_cmH2O``,
    ``formants_Hz`` and ``bandwidths_Hz`` (frames × 5, NaN where fewer,
    closed glottis, as the simulation rate sees them), ``narrowest_section``,
    ``narrowest_area_cm2``, ``frication_junction`` (-1: none) and
    ``duration_s``. The values come from the synthesiser's own run. With
    ``textgrid`` (a file name) also writes the Praat TextGrid of the score's
    key frames there (see :func:`textgrid`; the file appears complete or not
    at all)."""
    s = as_score(score)
    if textgrid is not None:
        _labels_of(s)
    tr = _core.tracks(s._fields, float(every_ms))
    if textgrid is not None:
        text = _key_frame_textgrid(s, float(tr["duration_s"]))
        path = os.fspath(textgrid)

        def write(tmp: str) -> None:
            with open(tmp, "w", encoding="utf-8", newline="") as f:
                f.write(text)

        write_staged(path, "the TextGrid", write)
    return tr


def textgrid(score: Any) -> str:
    """The Praat TextGrid (long text format) of a score's key frames, as
    ``quorvel tracks SCORE --textgrid`` writes it: one interval tier
    "keyframes"; key frame k, labelled by the score's ``labels[k]``, owns the
    time from the midpoint with key frame k-1 (0 for the first) to the
    midpoint with key frame k+1 (the end of the utterance for the last).
    The score needs a ``labels`` field (one label per key frame); the
    utterance is synthesised for its length."""
    s = as_score(score)
    _labels_of(s)
    return _key_frame_textgrid(s, float(_core.tracks(s._fields, 1e9)["duration_s"]))


def _labels_of(score: Any) -> list:
    if not score.labels:
        raise ArgumentError('labels: the score has no "labels" field (one label per key frame), '
                            "which a TextGrid needs")
    return list(score.labels)


def _g10(v: float) -> str:
    """A number as a C++ stream with precision 10 writes it."""
    return f"{v:.10g}"


def _praat_string(text: str) -> str:
    return '"' + text.replace('"', '""') + '"'


def _key_frame_textgrid(score: Any, duration_s: float) -> str:
    labels = _labels_of(score)
    times = [float(t) for t in np.asarray(score._fields["TAF1"], dtype=np.float64)[0]]
    n = len(times)
    edges = [0.0]
    for k in range(n - 1):
        mid = 0.5e-3 * (times[k] + times[k + 1])
        edges.append(min(max(mid, edges[-1]), duration_s))
    edges.append(duration_s)
    d = _g10(duration_s)
    out = [f'File type = "ooTextFile"\nObject class = "TextGrid"\n\n'
           f"xmin = 0\nxmax = {d}\ntiers? <exists>\nsize = 1\nitem []:\n"
           f'    item [1]:\n        class = "IntervalTier"\n        name = "keyframes"\n'
           f"        xmin = 0\n        xmax = {d}\n        intervals: size = {n}\n"]
    for k in range(n):
        label = labels[k] if k < len(labels) else ""
        out.append(f"        intervals [{k + 1}]:\n            xmin = {_g10(edges[k])}\n"
                   f"            xmax = {_g10(edges[k + 1])}\n"
                   f"            text = {_praat_string(label)}\n")
    return "".join(out)
