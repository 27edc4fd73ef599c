#!/usr/bin/env bash
# Makes the README picture doc/asa_overview.png: the overview of the /asa/
# example (waveform, spectrogram with the ground-truth formant tracks, area
# function over time, glottal area and F0). Rerun from the repository folder
# after a build (bash scripts/build.sh or cmake --build build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$root/doc"
PYTHONPATH="$root/build/python" MPLBACKEND=Agg /usr/bin/python3 -m quorvel plot \
  "$root/examples/asa.json" -o "$root/doc/asa_overview.png"
