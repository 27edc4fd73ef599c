"""quorvel.transfer_function, formants, tracks, vowels and the overview
picture: agreement with the command line, refusals, the picture's parts."""

import json
import math
import subprocess
import sys

import numpy as np
import pytest

import quorvel
from conftest import CLI, SOURCE_DIR

A_FILE = SOURCE_DIR / "examples" / "tracts" / "vowels" / "a_story1996_17.txt"


def test_formants_match_the_command_line_and_the_transfer_peak():
    a, x, _, _ = quorvel.read_vtaf(A_FILE)
    F, B = quorvel.formants(a, x, count=3)
    assert F.shape == (3,) and np.all(B > 0) and F[0] > 700 and F[1] < 1300
    if CLI:
        out = subprocess.run([CLI, "formants", str(A_FILE), "--count", "3"], check=True,
                             capture_output=True, text=True).stdout.splitlines()[2:]
        assert [float(l.split()[1]) for l in out] == pytest.approx(F, abs=0.01)
    f, H = quorvel.transfer_function(a, x[0], np.arange(F[0] - 40, F[0] + 40, 0.5))
    assert abs(f[np.argmax(abs(H))] - F[0]) < 2
    Fw, _ = quorvel.formants(a, x, 2, warp_fs=30000)
    assert Fw[1] < F[1]
    Fo, Bo = quorvel.formants(a, x, 1, glottis=0.05)
    assert Fo[0] > F[0] and Bo[0] > B[0]


def test_nasal_branch_adds_antiresonances():
    tube = np.full(17, 3.0)
    nasal = {"areas": [1.0] * 3 + [1.5] * 13, "lengths": [0.6] * 3 + [0.7] * 13}
    Z, _ = quorvel.formants(tube, 1.0, 3, nasal=nasal, antiresonances=True)
    assert Z.size >= 1
    assert quorvel.formants(tube, 1.0, 3, antiresonances=True)[0].size == 0


@pytest.mark.parametrize("call", [
    lambda: quorvel.formants([], 1.0),
    lambda: quorvel.formants([1.0, math.nan], 1.0),
    lambda: quorvel.formants([1.0, 2.0], -1.0),
    lambda: quorvel.formants([1.0, 2.0], [1.0, 1.0, 1.0]),
    lambda: quorvel.transfer_function([1.0, 2.0], 1.0, [100.0, 50.0]),
    lambda: quorvel.transfer_function([1.0, 2.0], 1.0, glottis="open"),
    lambda: quorvel.formants([1.0] * 17, 1.0, nasal={"areas": [1.0] * 4, "lengths": 1, "velum": 1}),
    lambda: quorvel.formants([1.0] * 17, 1.0, nasal={"areas": [1.0, -1.0], "lengths": 1}),
])
def test_bad_input_is_refused(call):
    with pytest.raises(ValueError):
        call()


def test_tracks_and_vowels():
    tr = quorvel.tracks(SOURCE_DIR / "examples" / "worked" / "aiu.json")
    assert tr["formants_Hz"].shape == (141, 5)
    i = int(np.searchsorted(tr["time_ms"], 280))
    assert tr["formants_Hz"][i, 1] > 2000 and tr["formants_Hz"][i, 0] < 400  # /i/
    assert np.all(tr["Psub_cmH2O"] == 8)
    v = quorvel.vowels()
    assert v["story1996_a"].areas.size == 44 and "Story" in v["story1996_a"].source


def test_textgrid_is_the_command_lines(tmp_path):
    doc = json.loads((SOURCE_DIR / "examples" / "worked" / "aba.json").read_text(encoding="utf-8"))
    doc["labels"][2] = 'b "closed" ʔ'  # a quote doubled, text beyond ASCII
    score = tmp_path / "aba.json"
    score.write_text(json.dumps(doc), encoding="utf-8")
    text = quorvel.textgrid(score)
    assert 'text = "b ""closed"" ʔ"' in text and text.count("intervals [") == 6
    grid = tmp_path / "py.TextGrid"
    quorvel.tracks(score, 20, textgrid=grid)
    assert grid.read_bytes() == text.encode("utf-8")
    if CLI:
        subprocess.run([CLI, "tracks", str(score), "-o", str(tmp_path / "t.csv"), "--textgrid",
                        str(tmp_path / "cli.TextGrid")], check=True, capture_output=True)
        assert (tmp_path / "cli.TextGrid").read_bytes() == grid.read_bytes()
    del doc["labels"]
    score.write_text(json.dumps(doc), encoding="utf-8")
    with pytest.raises(ValueError, match="labels"):
        quorvel.tracks(score, textgrid=tmp_path / "none.TextGrid")
    assert not (tmp_path / "none.TextGrid").exists()


def test_the_overview_shows_the_noise_band_and_the_tracked_formants():
    # What the overview's spectrogram of /asa/ shows, measured on the same
    # signal: the /s/ noise lies above 2 kHz, and the vowel's spectral peaks
    # (6.4 ms windows, 156 Hz bins, as a wide-band spectrogram resolves
    # them) sit on the ground-truth tracks; F1 and F2 merge into one peak.
    score = SOURCE_DIR / "examples" / "asa.json"
    x = np.asarray(quorvel.synthesize(score).samples, dtype=np.float64)
    tr = quorvel.tracks(score)

    def power(start_ms, end_ms, n):
        seg = x[int(start_ms * 10):int(end_ms * 10)]  # 10 kHz
        frames = [np.hanning(n) * seg[i:i + n] for i in range(0, seg.size - n, n // 4)]
        return np.fft.rfftfreq(n, 1e-4), np.sum(np.abs(np.fft.rfft(frames, axis=1)) ** 2, axis=0)

    f, P = power(280, 330, 256)
    assert P[f > 2000].sum() > 0.9 * P.sum()
    f, P = power(60, 160, 256)
    assert P[f > 2000].sum() < 0.05 * P.sum()
    f, P = power(60, 160, 64)
    peaks = f[1:-1][(P[1:-1] > P[:-2]) & (P[1:-1] > P[2:])]
    F = tr["formants_Hz"][np.searchsorted(tr["time_ms"], 110)]
    assert np.any((peaks > F[0] - 160) & (peaks < F[1] + 160))
    for Fk in F[2:5]:
        assert np.min(np.abs(peaks - Fk)) < 160, (Fk, peaks)


def test_overview_picture(tmp_path):
    pytest.importorskip("matplotlib")
    out = tmp_path / "asa.png"
    r = subprocess.run([sys.executable, "-m", "quorvel", "plot",
                        str(SOURCE_DIR / "examples" / "asa.json"), "-o", str(out)],
                       capture_output=True, text=True)
    assert r.returncode == 0, r.stderr
    assert out.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    bad = subprocess.run([sys.executable, "-m", "quorvel", "plot", str(tmp_path / "none.json")],
                         capture_output=True, text=True)
    assert bad.returncode == 1 and "none.json" in bad.stderr
