"""Files that appear complete or not at all."""

from __future__ import annotations

import os
import tempfile
from typing import Callable

from ._errors import FileError


def write_staged(path: str, what: str, write: Callable[[str], None]) -> None:
    """Calls write(tmp) on a temporary name beside path (same suffix) and
    renames it to path when done; on any failure removes it, leaves an
    existing file at path untouched and raises FileError naming `what`."""
    folder = os.path.dirname(os.path.abspath(path))
    try:
        fd, tmp = tempfile.mkstemp(prefix=".quorvel-", suffix=os.path.splitext(path)[1],
                                   dir=folder)
        os.close(fd)
    except OSError as e:
        raise FileError(f"cannot write {what} \"{path}\": {e.strerror}") from None
    try:
        write(tmp)
        os.replace(tmp, path)
    except Exception as e:
        try:
            os.unlink(tmp)
        except OSError:
            pass
        raise FileError(f"cannot write {what} \"{path}\": {getattr(e, 'strerror', None) or e}") \
            from None
