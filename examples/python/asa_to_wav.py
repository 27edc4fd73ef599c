"""/asa/ from the JSON score examples/asa.json, written to a WAV file.

Run: PYTHONPATH=build/python /usr/bin/python3 examples/python/asa_to_wav.py [OUT.wav]
"""

import sys
from pathlib import Path

import quorvel

score = quorvel.Score.load(Path(__file__).resolve().parent.parent / "asa.json")
result = quorvel.synthesize(score)
out = sys.argv[1] if len(sys.argv) > 1 else "asa.wav"
gain = result.write(out)  # peak-normalised to 0.9, 32-bit float
print(f"wrote {len(result)} samples ({result.duration:g} s at {result.fs:g} Hz, "
      f"scaled by {gain:.3g}) to {out}")
