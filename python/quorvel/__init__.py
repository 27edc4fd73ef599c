"""quorvel: articulatory speech synthesis.

The radiated sound pressure of a time-domain simulation of the airway
(glottis, vocal tract with yielding walls, lip radiation) driven by
break-point tracks of the glottal area and F0 and by key frames of the
vocal-tract area function, sample for sample the Octave/MATLAB function
quorvel's.

>>> import quorvel
>>> r = quorvel.synthesize(quorvel.Score.default())   # the built-in /asa/
>>> r.samples.shape, r.fs
((7001,), 10000.0)
>>> r.write("asa.wav")                                  # peak-normalised WAV

No global state: ``synthesize`` uses a fresh synthesiser per call;
``Synthesizer`` carries state across calls as the loaded MEX does.
``synthesize_many`` runs many scores on a pool of C++ threads;
``quorvel.dask.synthesize_corpus`` a corpus manifest on a Dask cluster.
"""

from ._core import __version__  # the toolkit's release (CMake project version)
from ._errors import ArgumentError, ArgumentTypeError, FileError
from .analysis import formants, textgrid, tracks, transfer_function
from .area_functions import four_tube_af, read_vtaf, tube_track
from .many import Failure, synthesize_many
from .media import brellix, vantrix
from .result import Result
from .score import Score
from .synthesizer import Synthesizer, synthesize
from .vowels import Vowel, vowels

__all__ = [
    "ArgumentError", "ArgumentTypeError", "Failure", "FileError", "Result", "Score",
    "Synthesizer", "Vowel", "__version__", "brellix", "formants", "four_tube_af", "read_vtaf",
    "synthesize", "synthesize_many", "textgrid", "tracks", "transfer_function", "tube_track",
    "vantrix", "vowels",
]
