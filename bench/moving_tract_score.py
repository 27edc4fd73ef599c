#!/usr/bin/env python3
"""Writes the 10 s moving-tract score of BM_Synthesis10s40Sections as JSON for
timing the whole command-line run: python3 moving_tract_score.py NSECTIONS OUT.json

Alternating vowel-like and constricted tract shapes (17 cm of tract in
NSECTIONS sections), a key frame every 250 ms, voicing with a slow F0 wave.
"""
import json
import math
import sys


def score(nvt):
    frames = 41
    ag0, agp, f0, taf1 = ([[], [], []] for _ in range(4))
    taf2 = [[0.0] * frames for _ in range(nvt)]
    for m in range(frames):
        t = 250.0 * m
        closed = m % 4 == 2  # every fourth frame a fricative constriction
        taf1[0].append(t), taf1[1].append(1 if m == 0 else 2), taf1[2].append(1)
        for l in range(nvt):
            x = l / (nvt - 1)
            area = 0.6 + 4.0 * x * x + 0.5 * math.sin(3.0 * x + m)
            taf2[l][m] = 0.1 if closed and l == nvt - 6 else area
        ag0[0].append(t), ag0[1].append(0.3 if closed else 0.04), ag0[2].append(2)
        agp[0].append(t)
        agp[1].append(0.0 if closed or m in (0, frames - 1) else 0.18)
        agp[2].append(2)
        f0[0].append(t), f0[1].append(120.0 + 20.0 * math.sin(0.3 * m)), f0[2].append(2)
    return {"nss": nvt, "TAg0": ag0, "TAgP": agp, "TF0": f0, "TAF1": taf1, "TAF2": taf2,
            "dx": 17.0 / nvt, "fs": 10000}


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: moving_tract_score.py NSECTIONS OUT.json")
    n = int(sys.argv[1])
    if n < 2:
        sys.exit("NSECTIONS: at least 2 sections")
    with open(sys.argv[2], "w") as f:
        json.dump(score(n), f)
