"""python3 -m quorvel plot SCORE [-o overview.png]: the overview picture of a score."""

from __future__ import annotations

import argparse
import sys

from . import ArgumentError, FileError
from .plot import overview


def main(argv=None) -> int:
    p = argparse.ArgumentParser(prog="python3 -m quorvel")
    sub = p.add_subparsers(dest="command", required=True)
    plot = sub.add_parser("plot", help="overview picture of a score's utterance")
    plot.add_argument("score", help="JSON score")
    plot.add_argument("-o", "--output", default=None,
                      help="picture file (default: the score's name with .png)")
    plot.add_argument("--every", type=float, default=5.0, help="frame step of the tracks, ms")
    args = p.parse_args(argv)
    out = args.output or (args.score.rsplit(".", 1)[0] + ".png")
    try:
        overview(args.score, every_ms=args.every, path=out)
    except (ArgumentError, FileError, OSError, ValueError) as e:
        print(f"python3 -m quorvel plot: {e}", file=sys.stderr)
        return 1
    print(f"python3 -m quorvel plot: wrote {out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
