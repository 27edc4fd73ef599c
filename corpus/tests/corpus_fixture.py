"""A test corpus: varied short utterances and a few that must fail."""
import json
import os
import random


def _score(rng, nss, dur_ms, fs):
    """A short voiced utterance: a vowel glide over nss sections."""
    f0a, f0b = rng.uniform(90, 220), rng.uniform(90, 220)
    a = [round(rng.uniform(0.3, 4.0), 3) for _ in range(nss)]
    b = [round(rng.uniform(0.3, 4.0), 3) for _ in range(nss)]
    t = dur_ms
    score = {
        "nss": nss,
        "TAg0": [[0, t], [0.04, 0.05], [1, 1]],
        "TAgP": [[0, t / 4, t], [0, 0.2, 0], [1, 2, 2]],
        "TF0": [[0, t], [round(f0a, 2), round(f0b, 2)], [1, 2]],
        "TAF1": [[0, t], [1, 2], [1, 1]],
        "TAF2": [[a[i], b[i]] for i in range(nss)],
        "dx": round(rng.uniform(0.8, 1.1), 3),
    }
    if fs != 10000:
        score["fs"] = fs
    return score


def make_corpus(root, count=198, seed=1):
    """Writes root/scores/*.json and root/manifest.jsonl: `count` utterances and two broken lines.

    Returns (manifest path, {id or line: expected failure substring})."""
    rng = random.Random(seed)
    os.makedirs(os.path.join(root, "scores"), exist_ok=True)
    lines, failing = [], {}
    for i in range(count):
        uid = "u%03d" % i
        entry = {"id": uid}
        score = _score(rng, rng.randint(3, 20), rng.choice([40, 60, 90, 150]),
                       rng.choice([8000, 10000, 16000]))
        kind = i % 25
        if kind == 3:  # bad shape: TAF2 misses a section
            score["TAF2"] = score["TAF2"][:-1]
            failing[uid] = "TAF2"
        elif kind == 7:  # missing score file
            entry["score"] = "scores/absent_%d.json" % i
            failing[uid] = "cannot open score file"
        elif kind == 11 and not any(v == "diverged" for v in failing.values()):
            # A closed glottis pulsed at 800 Hz with 2 cm² pulses: the glottal
            # pumping drives the network to overflow (README "Numerical limits").
            n = score["nss"]
            score.update({"TAg0": [[0, 150], [0, 0], [1, 1]], "TAgP": [[0, 150], [2, 2], [1, 1]],
                          "TF0": [[0, 150], [800, 800], [1, 1]], "TAF1": [[0, 150], [1, 1], [1, 1]],
                          "TAF2": [[1, 1]] * n, "dx": 1})
            score.pop("fs", None)
            failing[uid] = "diverged"
        if "score" not in entry:
            if i % 3 == 0:
                entry["score"] = score  # inline
            else:
                name = "scores/%s.json" % uid
                with open(os.path.join(root, name), "w") as f:
                    json.dump(score, f)
                entry["score"] = name
        if i % 4 == 1:
            entry["seed"] = 1000 + i
        if i % 10 == 5:
            entry["output"] = "%s-named.wav" % uid
        lines.append(json.dumps(entry))
    # Lines that are no usable entry: they fail on their own.
    lines.insert(50, "{not json")
    failing["line 52"] = "malformed JSON"
    lines.insert(120, json.dumps({"id": "u001", "score": "scores/u001.json"}))
    failing["line 122"] = "given on an earlier line"
    path = os.path.join(root, "manifest.jsonl")
    with open(path, "w") as f:
        f.write("# test corpus\n" + "\n".join(lines) + "\n")
    return path, failing
