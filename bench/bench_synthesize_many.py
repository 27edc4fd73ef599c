"""quorvel.synthesize_many with workers=1 and workers=2, each with lanes=1, 2
and 4, side by side (alternated): seconds of speech made per wall-clock
second, and the ratio workers=2 / workers=1 (about 2 on two free cores: every
score has a synthesiser of its own and the interpreter lock is released while
the pool runs). Also prints the processor time per second of speech, which
does not depend on what else the machine runs (what lanes gain shows there),
and the load average: on a busy machine the wall-clock ratio says nothing
about scaling.

Run after the build:
PYTHONPATH=build/python /usr/bin/python3 bench/bench_synthesize_many.py [UTTERANCES [ROUNDS]]
"""

import os
import sys
import time

import numpy as np

import quorvel


def main() -> None:
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 48
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    scores = [quorvel.Score.default() for _ in range(count)]  # /asa/, 0.7 s at 10 kHz
    speech_s = count * quorvel.synthesize(scores[0]).duration
    rate, cpu = {}, {}
    ref = None
    runs = [(w, lanes) for w in (1, 2) for lanes in (1, 2, 4)]
    for _ in range(rounds):  # alternated, so that a change of load hits all
        for run in runs:
            workers, lanes = run
            t, c = time.perf_counter(), time.process_time()
            out = quorvel.synthesize_many(scores, workers=workers, lanes=lanes)
            wall = time.perf_counter() - t
            rate[run] = max(rate.get(run, 0.0), speech_s / wall)
            cpu[run] = min(cpu.get(run, 1e300), (time.process_time() - c) / speech_s)
            ref = out[0].samples if ref is None else ref
            assert all(np.array_equal(r.samples, ref) for r in out)
    print(f"{count} utterances, {speech_s:.1f} s of speech, best of {rounds} rounds, "
          f"load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
    for (workers, lanes), r in rate.items():
        print(f"workers={workers} lanes={lanes}: {r:.1f} s of speech per wall-clock second, "
              f"{1000 * cpu[workers, lanes]:.1f} CPU-ms per second of speech "
              f"({cpu[workers, 1] / cpu[workers, lanes]:.2f} x the speech per CPU-s of lanes=1)")
    print(f"ratio workers=2 / workers=1: {rate[2, 1] / rate[1, 1]:.2f}")


if __name__ == "__main__":
    main()
