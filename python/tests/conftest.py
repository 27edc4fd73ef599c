"""Shared helpers: the command-line synthesiser, a fresh Octave with the MEX
modules, float WAV files, and a set of varied calls."""

import os
import shutil
import struct
import subprocess
import tempfile
from pathlib import Path

import numpy as np
import pytest

SOURCE_DIR = Path(os.environ.get("QUORVEL_SOURCE_DIR", Path(__file__).resolve().parents[2]))
CLI = os.path.abspath(os.environ["QUORVEL_CLI"]) if os.environ.get("QUORVEL_CLI") else ""
MEX_DIR = os.path.abspath(os.environ["QUORVEL_MEX_DIR"]) if os.environ.get("QUORVEL_MEX_DIR") else ""
OCTAVE = os.environ.get("QUORVEL_OCTAVE") or shutil.which("octave-cli") or ""
# Scores without an airway model ("model" is not taken by the package yet).
EXAMPLE_SCORES = sorted(p for p in (SOURCE_DIR / "examples").glob("*.json")
                        if '"model"' not in p.read_text(encoding="utf-8"))


def read_float_wav(path):
    """Samples of a mono 32-bit float WAV file."""
    data = Path(path).read_bytes()
    assert data[:4] == b"RIFF" and data[8:12] == b"WAVE"
    pos, fmt = 12, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif cid == b"data":
            assert fmt is not None and fmt[0] in (3, 0xFFFE) and fmt[5] == 32, fmt
            return np.frombuffer(body, dtype="<f4").astype(np.float32), fmt[2]
        pos += 8 + size + (size & 1)
    raise AssertionError(f"{path}: no data chunk")


def cli_raw(score_path, tmp_path):
    """Samples of `quorvel SCORE --raw` (the command line's unscaled output)."""
    if not CLI or not os.path.exists(CLI):
        pytest.skip("command-line quorvel not built")
    out = tmp_path / (Path(score_path).stem + "-cli.wav")
    subprocess.run([CLI, str(score_path), "--raw", "-o", str(out)], check=True,
                   capture_output=True, text=True)
    return read_float_wav(out)[0]


def _write_matrix(path, a):
    a = np.asarray(a, dtype=np.float64)
    with open(path, "wb") as f:
        f.write(np.array(a.shape, dtype="<f8").tobytes())
        f.write(np.asarray(a, dtype="<f8").tobytes(order="F"))


_OCTAVE_PRELUDE = r"""
1;
function A = rd(f)
  fid = fopen(f, 'r'); d = fread(fid, 2, 'double')';
  A = reshape(fread(fid, prod(d), 'double'), d); fclose(fid);
end
function wr(f, s)
  fid = fopen(f, 'w'); fwrite(fid, s, 'char'); fclose(fid);
end
"""


def run_mex(calls):
    """Runs quorvel calls in one fresh Octave. calls: list of (fresh, args),
    fresh = clear the module first (a new synthesiser); args a list of
    matrices (quorvel) or the path of a score file (quorvel_synth). Returns per call
    (samples as float64 or None, printed text, error message or None)."""
    if not (OCTAVE and MEX_DIR and os.path.exists(os.path.join(MEX_DIR, "quorvel.mex"))):
        pytest.skip("Octave or the quorvel MEX module not available")
    with tempfile.TemporaryDirectory() as d:
        d = Path(d)
        lines = [_OCTAVE_PRELUDE, f"addpath('{MEX_DIR}');"]
        for k, (fresh, args) in enumerate(calls):
            if fresh:
                lines.append("clear quorvel quorvel_synth;")
            if isinstance(args, (str, os.PathLike)):  # a score file, through quorvel_synth
                lines.append(
                    f"try; txt = evalc('SIG = quorvel_synth(fileread(''{args}''));');"
                    f" wr('{d}/p{k}.txt', txt); fid = fopen('{d}/s{k}.bin', 'w');"
                    f" fwrite(fid, SIG, 'double'); fclose(fid);"
                    f" catch e; wr('{d}/e{k}.txt', e.message); end")
                continue
            names = []
            for i, a in enumerate(args):
                _write_matrix(d / f"c{k}_{i}.bin", a)
                names.append(f"rd('{d}/c{k}_{i}.bin')")
            lines.append(
                f"try; args = {{{', '.join(names)}}}; txt = evalc('SIG = quorvel(args{{:}});');"
                f" wr('{d}/p{k}.txt', txt); fid = fopen('{d}/s{k}.bin', 'w');"
                f" fwrite(fid, SIG, 'double'); fclose(fid);"
                f" catch e; wr('{d}/e{k}.txt', e.message); end")
        (d / "run.m").write_text("\n".join(lines) + "\n")
        subprocess.run([OCTAVE, "--no-gui", "--norc", "--quiet", str(d / "run.m")], check=True,
                       capture_output=True, text=True, cwd=d, timeout=600)
        out = []
        for k in range(len(calls)):
            e = d / f"e{k}.txt"
            if e.exists():
                # Octave puts the function's name before the message the MEX raised.
                msg = e.read_text()
                out.append((None, "", msg[len("quorvel: "):] if msg.startswith("quorvel: ") else msg))
            else:
                s = np.fromfile(d / f"s{k}.bin", dtype="<f8")
                out.append((s, (d / f"p{k}.txt").read_text(), None))
        return out


def vcv_call(nvt=17, fs=None, dur_ms=250.0, dx_layout=0, kind_mix=0, vcv=None):
    """A vowel-consonant-vowel call of nvt sections: an open tract, a
    constriction near the lips, open again, voiced with a rising-falling F0
    and an opening glottis in the constriction. Returns the argument list."""
    t = [0, 0.3 * dur_ms, 0.45 * dur_ms, 0.6 * dur_ms, dur_ms]
    F = 5
    kind = (lambda m: 1.0) if kind_mix == 0 else (lambda m: float((m + kind_mix) % 3))
    taf1 = np.array([t, [1] + [2.0 if kind_mix == 0 else kind(m) for m in range(1, F)],
                     [2 if m == 2 else (-1 if m == 3 else 1) for m in range(F)]], float)
    x = np.linspace(0, 1, nvt) if nvt > 1 else np.array([0.5])
    taf2 = np.array([[0.7 + 3 * xi * xi + 0.4 * np.sin(2 * xi + m) for m in range(F)]
                     for xi in x])
    taf2[(nvt * 3) // 4, 2] = 0.09
    length = 17.0 / nvt
    dx = {0: np.array([[length]]),
          1: np.array([[length, length * 1.05, length * 0.95, length * 1.1, length]]),
          2: np.array([[length * (0.9 + 0.02 * ((l + m) % 7)) for m in range(F)]
                       for l in range(nvt)]),
          3: np.array([[length * 1.02, 3.0, 4.0]])}[dx_layout]
    tag0 = np.array([t, [0.04, 0.04, 0.3, 0.04, 0.02], [1, 1, 2, 0 if kind_mix else 2, 1]])
    tagp = np.array([[0, 0.1 * dur_ms, t[1], t[3], 0.9 * dur_ms, dur_ms],
                     [0, 0.2, 0.2, 0.15, 0.2, 0], [1, 2, 1, 2, 1, 2]])
    tf0 = np.array([[0, t[1], t[3], dur_ms], [110, 140, 125, 95], [1, 2, 1, 1]])
    args = [np.array([[nvt]], float), tag0, tagp, tf0, taf1, taf2, dx]
    if fs is not None or vcv is not None:
        args.append(np.array([[10000.0 if fs is None else fs]]))
    if vcv is not None:
        args.append(np.array([[vcv]], float))
    return args


VARIED_CALLS = {
    "nvt 1": vcv_call(nvt=1),
    "nvt 40": vcv_call(nvt=40),
    "fs 16000": vcv_call(fs=16000.0),
    "fs 11025.5": vcv_call(fs=11025.5),
    "dx per frame": vcv_call(dx_layout=1),
    "dx per section and frame": vcv_call(dx_layout=2),
    "dx row of another length": vcv_call(dx_layout=3),
    "kinds mixed": vcv_call(kind_mix=1),
    "VCV": vcv_call(vcv=1),
    "VCV 40 sections 16 kHz": vcv_call(nvt=40, fs=16000.0, vcv=1),
}
