"""The published vowel area functions of the vowel library."""

from __future__ import annotations

import json
import os
from typing import Dict, NamedTuple

import numpy as np

_DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "vowels.json")


class Vowel(NamedTuple):
    vowel: str          #: the vowel and its key word, e.g. "ɑ (hod)"
    areas: np.ndarray   #: cm², glottis first
    lengths: np.ndarray  #: cm, one per section
    source: str         #: the publication and how the numbers were read


def vowels() -> Dict[str, Vowel]:
    """The vowel library: name (e.g. ``"story1996_a"``) -> Vowel with areas
    and lengths at the published resolution and the citation. Story, Titze
    & Hoffman (1996) JASA 100(1) 537-554 and Story (2008) JASA 123(1)
    327-335."""
    with open(_DATA, encoding="utf-8") as f:
        data = json.load(f)["vowels"]
    return {k: Vowel(v["vowel"], np.asarray(v["areas"], dtype=np.float64),
                     np.asarray(v["lengths"], dtype=np.float64), v["source"])
            for k, v in data.items()}
