"""Two Python threads synthesising two 10 s utterances: wall time against one
utterance alone and against the two one after the other. The interpreter
lock is released while the C++ core runs, so on two free cores the pair
takes about the time of one.

Run after the build: PYTHONPATH=build/python /usr/bin/python3 bench/bench_python_threads.py [SECONDS]
"""

import sys
import threading
import time

import numpy as np

import quorvel


def long_score(seconds: float) -> quorvel.Score:
    """The built-in /asa/ stretched to the given duration (times scaled)."""
    s = quorvel.Score.default()
    k = seconds * 1000.0 / float(s.TAg0[0, -1])
    for name in ("TAg0", "TAgP", "TF0", "TAF1"):
        m = getattr(s, name).copy()
        m[0] *= k
        setattr(s, name, m)
    return s


def timed(fn) -> float:
    t = time.perf_counter()
    fn()
    return time.perf_counter() - t


def main() -> None:
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 10.0
    score = long_score(seconds)
    quorvel.synthesize(long_score(0.2))  # warm up
    one = timed(lambda: quorvel.synthesize(score))
    seq = timed(lambda: [quorvel.synthesize(score) for _ in range(2)])
    out = [None, None]

    def work(k: int) -> None:
        out[k] = quorvel.synthesize(score).samples

    def pair() -> None:
        threads = [threading.Thread(target=work, args=(k,)) for k in range(2)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

    par = timed(pair)
    assert np.array_equal(out[0], out[1])
    print(f"one {seconds:g} s utterance: {one:.2f} s; two in sequence: {seq:.2f} s; "
          f"two on two threads: {par:.2f} s")
    print(f"two threads take {par / one:.2f} x the time of one utterance "
          f"(speed-up over sequence {seq / par:.2f})")


if __name__ == "__main__":
    main()
