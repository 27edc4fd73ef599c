"""quorvel.synthesize_many with workers=1 and workers=2 side by side: seconds
of speech made per wall-clock second, and their ratio (about 2 on two free
cores: every score has a synthesiser of its own and the interpreter lock is
released while the pool runs).

Run after the build:
PYTHONPATH=build/python /usr/bin/python3 bench/bench_synthesize_many.py [UTTERANCES [ROUNDS]]
"""

import sys
import time

import numpy as np

import quorvel


def main() -> None:
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 48
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    scores = [quorvel.Score.default() for _ in range(count)]  # /asa/, 0.7 s at 10 kHz
    speech_s = count * quorvel.synthesize(scores[0]).duration
    rate = {}
    ref = None
    for _ in range(rounds):  # alternated, so that a change of load hits both
        for workers in (1, 2):
            t = time.perf_counter()
            out = quorvel.synthesize_many(scores, workers=workers)
            wall = time.perf_counter() - t
            rate[workers] = max(rate.get(workers, 0.0), speech_s / wall)
            ref = out[0].samples if ref is None else ref
            assert all(np.array_equal(r.samples, ref) for r in out)
    print(f"{count} utterances, {speech_s:.1f} s of speech, best of {rounds} rounds")
    for workers, r in rate.items():
        print(f"workers={workers}: {r:.1f} s of speech per wall-clock second")
    print(f"ratio workers=2 / workers=1: {rate[2] / rate[1]:.2f}")


if __name__ == "__main__":
    main()
