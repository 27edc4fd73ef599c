"""A sustained vowel /a/ from a score written as a Python dict.

Run: PYTHONPATH=build/python /usr/bin/python3 examples/python/vowel_from_dict.py [OUT.wav]
"""

import sys

import numpy as np

import quorvel

# 17 sections of 1 cm, glottis first: narrow pharynx, wide mouth (areas in cm²).
areas_a = [1.0, 1.0, 0.8, 0.6, 0.5, 0.5, 0.6, 0.9, 1.5, 2.5, 3.5, 4.5, 5.0, 5.2, 5.0, 4.6, 4.0]

score = {
    "nss": 17,
    # Break points as in MATLAB: rows [time ms; value; kind], kind 1 = linear, 2 = cosine.
    "TAg0": [[0, 500], [0.02, 0.02], [1, 1]],                       # baseline area, cm²
    "TAgP": [[0, 40, 460, 500], [0, 0.15, 0.15, 0], [1, 2, 1, 2]],  # pulse amplitude, cm²
    "TF0": [[0, 250, 500], [110, 125, 100], [1, 2, 2]],             # F0, Hz
    "TAF1": [[0, 500], [1, 1], [1, 1]],          # key frames [ms; kind; frication source]
    "TAF2": np.column_stack([areas_a, areas_a]),  # 17 × 2: one column per key frame
    "dx": 1.0,                                    # every section 1 cm
    "fs": 16000,
}

result = quorvel.synthesize(score)
print(f"/a/: {len(result)} samples, {result.duration:.3f} s at {result.fs:g} Hz, "
      f"peak {np.max(np.abs(result.samples)):.3g} dyn/cm²")
if len(sys.argv) > 1:
    result.write(sys.argv[1])
