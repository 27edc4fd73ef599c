"""quorvel.Score: the arguments of one synthesis call, as a JSON score holds them."""

from __future__ import annotations

import json
import os
from typing import Any, Dict, Iterable, List, Mapping, Optional, Union

import numpy as np

from . import _core
from ._convert import as_matrix, as_path
from ._errors import ArgumentError, ArgumentTypeError
from ._staged_file import write_staged

#: Matrix fields in the order of the call quorvel(nss, TAg0, TAgP, TF0, TAF1, TAF2, dx, fs, VCV).
FIELDS = ("nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx", "fs", "VCV")

#: Fields kept as the score file writes them (dicts, lists, strings).
RAW_FIELDS = ("model", "signals", "labels")

_FIELD_DOCS = {
    "nss": "1×1: number of vocal-tract sections, 1..40",
    "TAg0": "3×K: glottal baseline area break points, rows [time ms; area cm²; kind]",
    "TAgP": "3×K: glottal pulse amplitude break points, rows [time ms; area cm²; kind]",
    "TF0": "3×K: fundamental frequency break points, rows [time ms; F0 Hz; kind]",
    "TAF1": "3×F: area-function key frames, rows [time ms; kind; frication source junction]",
    "TAF2": "nss×F: section areas in cm², column m = key frame m, row 0 at the glottis",
    "dx": "1×1, 1×F or nss×F: section lengths in cm",
    "fs": "1×1: output sampling frequency in Hz (None: 10000 Hz)",
    "VCV": "1×1: nonzero prints nAcc[i], the narrowest section of the frication frames "
           "(None: off)",
}


def _field_property(name: str) -> property:
    def get(self: "Score") -> Optional[np.ndarray]:
        return self._fields.get(name)

    def set_(self: "Score", value: Any) -> None:
        if value is None and name in ("fs", "VCV"):
            self._fields.pop(name, None)
        else:
            self._fields[name] = as_matrix(name, value)

    return property(get, set_, doc=_FIELD_DOCS[name] + " (float64 array in MATLAB's shape).")


class Score:
    """The arguments of one quorvel call: the fields of a JSON score as
    float64 numpy arrays in MATLAB's shapes (see the README's score format).

    Build one from a dict (``Score({"nss": 17, "TAg0": ..., ...})``), read
    one with ``Score.load(path)`` or take the built-in /asa/ with
    ``Score.default()``. A dict goes through the same checks as a score file
    and is refused with the same messages (``ArgumentError``). Fields are
    attributes (``score.TF0``) and items (``score["TF0"]``); ``fs`` and ``VCV``
    are None when not given. Assigning a field converts it; ``validate()``
    runs the synthesiser's checks without synthesising. ``model`` (a dict:
    nasal branch, trachea, walls, Psub, glottis, noise, oversampling; see the
    README's airway model) and ``signals`` (names of internal signals to
    return) are kept as given, None when absent.
    """

    __slots__ = ("_fields", "input_files", "model", "signals", "labels")

    nss = _field_property("nss")
    TAg0 = _field_property("TAg0")
    TAgP = _field_property("TAgP")
    TF0 = _field_property("TF0")
    TAF1 = _field_property("TAF1")
    TAF2 = _field_property("TAF2")
    dx = _field_property("dx")
    fs = _field_property("fs")
    VCV = _field_property("VCV")

    def __init__(self, fields: Union[Mapping[str, Any], "Score", None] = None, *,
                 base_dir: Union[str, os.PathLike, None] = None, **kwargs: Any) -> None:
        """Score from a mapping of field names to numbers, nested lists or
        arrays (and keyword fields). ``TAF2_files`` (a list of file names or
        None per key frame) takes key frames from VT area-function files,
        relative names from ``base_dir`` (default: the working directory).
        Raises ArgumentError (missing or unknown field, irregular rows, ...)
        and ArgumentTypeError (None, strings, complex values, ...)."""
        self._fields: Dict[str, np.ndarray] = {}
        #: Area-function files the key frames were read from.
        self.input_files: List[str] = []
        #: The airway model (dict as in a score file), None: quorvel's configuration.
        self.model: Optional[Dict[str, Any]] = None
        #: Internal signals to return beside the pressure (names), None: none.
        self.signals: Optional[List[str]] = None
        #: One name per key frame (not part of the call), None: none.
        self.labels: Optional[List[str]] = None
        if isinstance(fields, Score):
            if kwargs or base_dir is not None:
                raise TypeError("Score(score) takes no further fields")
            self._fields = {k: v.copy() for k, v in fields._fields.items()}
            self.input_files = list(fields.input_files)
            self.model = _plain(fields.model)
            self.signals = _plain(fields.signals)
            self.labels = _plain(fields.labels)
            return
        if fields is None:
            fields = {}
        if not isinstance(fields, Mapping):
            raise ArgumentTypeError(
                f"a score is a dict of fields (nss, TAg0, ...), got {type(fields).__name__}")
        merged = dict(fields)
        merged.update(kwargs)
        self._set_checked(merged, "" if base_dir is None else as_path("base_dir", base_dir))

    def _set_checked(self, fields: Mapping[str, Any], base_dir: str) -> None:
        prepared: Dict[str, Any] = {}
        for key, value in fields.items():
            if not isinstance(key, str):
                raise ArgumentTypeError(f"score field names are strings, got {key!r}")
            if key.startswith("_"):
                continue  # comments, as in a score file
            if key == "TAF2_files":
                prepared[key] = _file_list(value)
            elif key in ("fs", "VCV") + RAW_FIELDS and value is None:
                continue  # not given
            elif key in FIELDS:
                prepared[key] = as_matrix(key, value)
            else:  # model, signals, labels; the score reader names unknown fields
                prepared[key] = _plain(value)
        self._adopt(_core.parse_fields(prepared, base_dir))
        self.model = prepared.get("model")
        self.signals = prepared.get("signals")
        self.labels = prepared.get("labels")

    def _adopt(self, checked: Dict[str, Any]) -> None:
        self.input_files = list(checked.pop("input_files", []))
        self._fields = dict(checked)

    def _core_fields(self, signals: Iterable[str] = ()) -> Dict[str, Any]:
        """The fields for the C++ checks: matrices, model, signal names (the
        score's and then the given ones)."""
        f: Dict[str, Any] = dict(self._fields)
        for k in ("model", "labels"):
            if getattr(self, k) is not None:
                f[k] = _plain(getattr(self, k))
        names = [] if self.signals is None else (
            [self.signals] if isinstance(self.signals, str) else list(self.signals))
        names += [n for n in signals if n not in names]
        if names or self.signals is not None:
            f["signals"] = names
        return f

    @classmethod
    def load(cls, path: Union[str, os.PathLike]) -> "Score":
        """Reads a JSON score file (area-function files relative to its
        folder). FileError when it cannot be read, ArgumentError when its
        contents are refused (the command line's message)."""
        path = as_path("path", path)
        s = cls._empty()
        s._adopt(_core.load_score(path))
        # The model and the signal list as the file writes them (checked above).
        with open(path, encoding="utf-8") as f:
            doc = json.load(f)
        s.model = doc.get("model")
        s.signals = doc.get("signals")
        s.labels = doc.get("labels")
        return s

    @classmethod
    def _empty(cls) -> "Score":
        s = cls.__new__(cls)
        s._fields = {}
        s.input_files = []
        s.model = None
        s.signals = None
        s.labels = None
        return s

    @classmethod
    def default(cls) -> "Score":
        """The built-in example /asa/: 17 sections, 0.7 s at 10 kHz."""
        s = cls._empty()
        s._adopt(_core.default_score())
        return s

    def to_json(self) -> str:
        """The score as JSON text (numbers in their shortest exact form)."""
        text = _core.score_json(self._core_fields()).rstrip()
        assert text.endswith("}")
        # The score writer has no model or signal list: they follow as given.
        extra = "".join(f',\n  "{k}": {json.dumps(v)}' for k, v in
                        (("model", self.model), ("signals", self.signals)) if v is not None)
        return text[:-1].rstrip() + extra + "\n}\n"

    def save(self, path: Union[str, os.PathLike]) -> None:
        """Writes the score as a JSON file; the file appears complete or not
        at all (written beside it under a temporary name, then renamed)."""
        path = as_path("path", path)
        text = self.to_json()

        def write(tmp: str) -> None:
            with open(tmp, "w", encoding="utf-8") as f:
                f.write(text)

        write_staged(path, "score file", write)

    def args(self) -> List[np.ndarray]:
        """The call's arguments in quorvel order (7, 8 or 9 of them)."""
        a = [self._fields[k] for k in FIELDS[:7]]
        if "fs" in self._fields or "VCV" in self._fields:
            a.append(self._fields.get("fs", np.full((1, 1), 10000.0)))
        if "VCV" in self._fields:
            a.append(self._fields["VCV"])
        return a

    @property
    def output_rate(self) -> float:
        """Output sampling frequency of the call, Hz."""
        fs = self._fields.get("fs")
        return float(fs.flat[0]) if fs is not None and fs.size else 10000.0

    def validate(self) -> "Score":
        """Runs the synthesiser's argument check (shapes, ranges, times on
        increasing samples) without synthesising; raises ArgumentError with
        its message, returns the score when accepted."""
        status, _, error = _core.check_score(self._core_fields())
        if status != 0:
            raise ArgumentError(error)
        return self

    def to_dict(self) -> Dict[str, Any]:
        """The fields as a dict of copies (fs, VCV, model, signals only when given)."""
        d: Dict[str, Any] = {k: v.copy() for k, v in self._fields.items()}
        for k in RAW_FIELDS:
            if getattr(self, k) is not None:
                d[k] = _plain(getattr(self, k))
        return d

    def __getitem__(self, name: str) -> np.ndarray:
        return self._fields[name]

    def __contains__(self, name: object) -> bool:
        return name in self._fields

    def __eq__(self, other: object) -> bool:
        if not isinstance(other, Score):
            return NotImplemented
        return all(getattr(self, k) == getattr(other, k) for k in RAW_FIELDS) and \
            self._fields.keys() == other._fields.keys() and all(
            v.shape == other._fields[k].shape and np.array_equal(v, other._fields[k], equal_nan=True)
            for k, v in self._fields.items())

    def __repr__(self) -> str:
        nss = self._fields.get("nss")
        F = self._fields["TAF1"].shape[1] if "TAF1" in self._fields else 0
        return (f"Score(nss={int(nss.flat[0]) if nss is not None and nss.size else None}, "
                f"key frames={F}, fs={self.output_rate:g} Hz)")


def _plain(value: Any) -> Any:
    """A model or signal list as plain Python values (numpy arrays as nested
    lists, numpy scalars as numbers), copied."""
    if isinstance(value, np.ndarray):
        return value.tolist()
    if isinstance(value, np.generic):
        return value.item()
    if isinstance(value, Mapping):
        return {k: _plain(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [_plain(v) for v in value]
    return value


def _file_list(value: Any) -> List[Optional[str]]:
    if isinstance(value, (str, bytes)) or not isinstance(value, Iterable):
        raise ArgumentTypeError("TAF2_files: expected a list of file names (or None)")
    out: List[Optional[str]] = []
    for i, f in enumerate(value):
        out.append(None if f is None else as_path(f"TAF2_files entry {i + 1}", f))
    return out


def as_score(score: Any) -> Score:
    """A Score from a Score, a dict of fields or the path of a JSON score."""
    if isinstance(score, Score):
        return score
    if isinstance(score, Mapping):
        return Score(score)
    if isinstance(score, (str, os.PathLike)):
        return Score.load(score)
    raise ArgumentTypeError(
        f"a score is a quorvel.Score, a dict of fields or the path of a JSON score, "
        f"got {type(score).__name__}")
