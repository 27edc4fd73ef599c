"""Python values to the float64 matrices the C++ core takes (MATLAB shapes)."""

from __future__ import annotations

import os
from typing import Any

import numpy as np

from ._errors import ArgumentError, ArgumentTypeError


def as_matrix(name: str, value: Any) -> np.ndarray:
    """A field or argument as a 2-D float64 array in MATLAB's shape: a number
    is 1×1, a flat sequence of n numbers is one row (1×n), an empty one 0×0,
    a 2-D array or list of rows keeps its shape. Any memory layout and byte
    order is accepted; the result is a private C-ordered copy."""
    if value is None:
        raise ArgumentTypeError(f"{name}: expected a number or an array of numbers, got None")
    if isinstance(value, (str, bytes, bytearray)):
        raise ArgumentTypeError(
            f"{name}: expected a number or an array of numbers, got a string")
    if isinstance(value, (dict, set)):
        raise ArgumentTypeError(
            f"{name}: expected a number or an array of numbers, got {type(value).__name__}")
    try:
        a = np.asarray(value)
    except (ValueError, TypeError) as e:
        # numpy refuses ragged nesting: rows of different lengths.
        raise ArgumentError(
            f"{name}: the rows have different lengths or the nesting is irregular; "
            f"a matrix is a list of rows of one length ({e})") from None
    kind = a.dtype.kind
    if kind == "c":
        raise ArgumentTypeError(f"{name}: complex values are not accepted; give real numbers")
    if kind == "b":
        raise ArgumentTypeError(f"{name}: true/false values are not accepted; give numbers")
    if kind == "O":
        raise ArgumentTypeError(
            f"{name}: expected numbers, got objects that are not (None, strings, "
            f"nested lists of irregular depth, or integers beyond 64 bits)")
    if kind not in "iuf":
        raise ArgumentTypeError(f"{name}: expected numbers, got an array of dtype {a.dtype}")
    if a.ndim > 2:
        raise ArgumentError(
            f"{name}: expected at most 2 dimensions (a MATLAB matrix), got shape {a.shape}")
    if a.ndim == 0:
        a = a.reshape(1, 1)
    elif a.ndim == 1:
        a = a.reshape(1, -1) if a.size else a.reshape(0, 0)
    return np.array(a, dtype=np.float64, order="C")


def as_vector(name: str, value: Any) -> np.ndarray:
    """A sequence of real numbers as a 1-D float64 array."""
    m = as_matrix(name, value)
    if m.size and min(m.shape) != 1:
        raise ArgumentError(f"{name}: expected a vector, got shape {m.shape}")
    return m.reshape(-1)


def as_int(name: str, value: Any) -> int:
    """A whole number (int, numpy integer or integral float)."""
    if isinstance(value, (bool, np.bool_)) or value is None:
        raise ArgumentTypeError(f"{name}: expected a whole number, got {value!r}")
    if isinstance(value, (int, np.integer)):
        return int(value)
    if isinstance(value, (float, np.floating)) and np.isfinite(value) and float(value).is_integer():
        return int(value)
    raise ArgumentTypeError(f"{name}: expected a whole number, got {value!r}")


def as_path(name: str, value: Any) -> str:
    """A file name from a str or os.PathLike."""
    try:
        p = os.fspath(value)
    except TypeError:
        raise ArgumentTypeError(f"{name}: expected a file name, got {type(value).__name__}") from None
    if isinstance(p, bytes):
        p = os.fsdecode(p)
    return p
