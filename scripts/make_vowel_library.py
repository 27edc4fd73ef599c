#!/usr/bin/env python3
"""Writes the vowel library: VT area-function files from data/vowels.json.

For every published vowel three files go to examples/tracts/vowels/:
  <vowel>_<study>.txt      at the published resolution,
  <vowel>_<study>_17.txt   resampled to 17 sections,
  <vowel>_<study>_40.txt   resampled to 40 sections,
each "label  sections  section-length(cm)  areas(cm², glottis first)".
Resampling keeps the tract length and every new section's air volume: a new
section's area is the volume of the published tract over its extent divided
by its length. File names begin with the vowel letter (never one of the
frication-consonant letters), so the files carry no noise-source section.

Rerun from the repository folder:  python3 scripts/make_vowel_library.py
"""
import json
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data", "vowels.json")
OUT = os.path.join(ROOT, "examples", "tracts", "vowels")
CONSONANT_LETTERS = "dfghjkpqstvxz"
# Vowel letters of the file names (IPA symbol -> ASCII).
ASCII = {"ɛ": "E", "æ": "ae", "ɑ": "a"}


def resample(areas, lengths, n):
    """n equal sections over the same total length, each keeping the volume
    of the original tract within its extent."""
    total = sum(lengths)
    edges = [0.0]
    for x in lengths:
        edges.append(edges[-1] + x)
    dx = total / n
    out = []
    for k in range(n):
        lo, hi = k * dx, (k + 1) * dx
        vol = 0.0
        for a, e0, e1 in zip(areas, edges, edges[1:]):
            overlap = min(hi, e1) - max(lo, e0)
            if overlap > 0:
                vol += a * overlap
        out.append(vol / dx)
    return out, dx


def write(path, label, length, areas):
    with open(path, "w", encoding="ascii") as f:
        f.write(f"{label} {len(areas)} {length:.6f}\n")
        for i in range(0, len(areas), 10):
            f.write(" ".join(f"{a:.4f}" for a in areas[i:i + 10]) + "\n")


def vowel_symbol(entry):
    sym = entry["vowel"].split()[0]
    return ASCII.get(sym, sym)


def main():
    with open(DATA, encoding="utf-8") as f:
        data = json.load(f)
    os.makedirs(OUT, exist_ok=True)
    index = []
    for key, v in data["vowels"].items():
        study = key.split("_")[0]
        name = f"{vowel_symbol(v)}_{study}"
        assert name[0] not in CONSONANT_LETTERS, name
        areas, lengths = v["areas"], v["lengths"]
        if len(set(lengths)) != 1:
            sys.exit(f"{key}: sections of unequal length cannot be written to one file")
        write(os.path.join(OUT, name + ".txt"), name, lengths[0], areas)
        for n in (17, 40):
            a, dx = resample(areas, lengths, n)
            write(os.path.join(OUT, f"{name}_{n}.txt"), name, dx, a)
        index.append((name, v["vowel"], len(areas), sum(lengths), v["source"]))
    with open(os.path.join(OUT, "README.md"), "w", encoding="utf-8") as f:
        f.write("# Vowel library\n\nVT area-function files made by "
                "`scripts/make_vowel_library.py` from `data/vowels.json` "
                "(do not edit by hand). `<name>.txt` has the published "
                "sections; `<name>_17.txt` and `<name>_40.txt` are resampled "
                "to 17 and 40 sections of equal length, keeping the tract "
                "length and each section's volume.\n\n"
                "| name | vowel | sections | length cm | source |\n|---|---|---|---|---|\n")
        for name, vowel, n, total, source in index:
            f.write(f"| {name} | {vowel} | {n} | {total:.3f} | {source} |\n")


if __name__ == "__main__":
    main()
