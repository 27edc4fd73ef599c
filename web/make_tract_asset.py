#!/usr/bin/env python3
"""Writes the page's tract library (site/tracts.json): published vowel area
functions and the nasal cavity, glottis (port) first, with their sources.

usage: make_tract_asset.py VOWELS_JSON NASAL_JSON OUT_JSON
"""
import json
import sys


def main(vowels_path, nasal_path, out_path):
    with open(vowels_path, encoding="utf-8") as f:
        vowels = json.load(f)["vowels"]
    with open(nasal_path, encoding="utf-8") as f:
        nasal = json.load(f)
    out = {
        "vowels": [
            {"id": key, "label": v["vowel"], "areas": v["areas"], "lengths": v["lengths"],
             "source": v["source"]}
            for key, v in vowels.items()
            if len(v["areas"]) == len(v["lengths"]) and v["areas"]
        ],
        # Three port sections of the velum area take the place of the first
        # three measured sections (the nasopharyngeal end), keeping the length.
        "nasal": {"couplingSections": 3,
                  "couplingLength": sum(s[1] for s in nasal["sections"][:3]) / 3,
                  "areas": [s[0] for s in nasal["sections"][3:]],
                  "lengths": [s[1] for s in nasal["sections"][3:]],
                  "source": nasal["citation"]},
    }
    with open(out_path, "w", encoding="utf-8") as f:
        json.dump(out, f, ensure_ascii=False, indent=1)
        f.write("\n")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
