"""Audio/video combiners: a WAV sound track laid under an AVI video."""

from __future__ import annotations

import os
from typing import Union

from . import _core
from ._convert import as_path

PathLike = Union[str, os.PathLike]


def brellix(audio: PathLike, video: PathLike, output: PathLike) -> None:
    """Writes ``output`` (AVI): the first video stream of ``video``
    unchanged, then the first audio stream of the WAV file ``audio``
    unchanged. The output appears only when complete; an output naming an
    input is refused. Raises FileError naming the file and the reason."""
    _core.combine(as_path("audio", audio), as_path("video", video), as_path("output", output),
                  False)


def vantrix(audio: PathLike, video: PathLike, output: PathLike = "temp.avi") -> None:
    """Like brellix, with the video re-encoded with Microsoft Video 1; the
    output defaults to "temp.avi" in the working directory, as the MEX
    function vantrix always writes. Raises FileError."""
    _core.combine(as_path("audio", audio), as_path("video", video), as_path("output", output),
                  True)
