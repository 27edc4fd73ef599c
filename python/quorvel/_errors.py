"""Exceptions of the quorvel package."""

from . import _core

#: A call the synthesiser refuses: its message is the text the Octave/MATLAB
#: function quorvel gives for the same arguments (for argument checks it
#: starts with "quorvel argument checking failed."), or, for a score, the
#: text the command line gives for the same score file. A ValueError.
ArgumentError = _core.ArgumentError
ArgumentError.__module__ = "quorvel"
ArgumentError.__doc__ = (
    "A refused call or score (a ValueError); str(e) is the message the MEX "
    "function quorvel or the score reader gives for the same input.")

#: A file that cannot be read, written or combined (an OSError); the message
#: names the file and the reason.
FileError = _core.FileError
FileError.__module__ = "quorvel"
FileError.__doc__ = (
    "A file that cannot be read, written or combined (an OSError); the "
    "message names the file and the reason.")


class ArgumentTypeError(ArgumentError, TypeError):
    """An argument of the wrong Python type (None, a string, complex or
    boolean values, an object that is no array of real numbers): both an
    ArgumentError and a TypeError."""

    __module__ = "quorvel"
