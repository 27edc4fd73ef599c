"""One score synthesised at several F0 values: the measured period of each
utterance follows 1/F0.

Run: PYTHONPATH=build/python /usr/bin/python3 examples/python/f0_sweep.py
"""

import numpy as np

import quorvel

score = quorvel.Score.default()  # /asa/, 10 kHz
vowel_ms = (50.0, 200.0)          # the first vowel: steady voicing

for f0 in (80, 100, 125, 160, 200):
    score.TF0 = [[0, 700], [f0, f0], [1, 1]]  # a flat contour, Hz
    r = quorvel.synthesize(score)
    seg = r.samples[int(vowel_ms[0] * r.fs / 1000):int(vowel_ms[1] * r.fs / 1000)].astype(float)
    seg -= seg.mean()
    ac = np.correlate(seg, seg, "full")[len(seg) - 1:]
    lo = int(r.fs / 400)  # search lags of 2.5 ms and more
    lag = lo + int(np.argmax(ac[lo:]))
    print(f"F0 {f0:3d} Hz: period {1000 * lag / r.fs:5.2f} ms, expected {1000 / f0:5.2f} ms")
