"""Score files, results and their files, the area-function helpers and the
combiners against their MEX counterparts, threads, the examples."""

import os
import shutil
import subprocess
import sys
import threading
from pathlib import Path

import numpy as np
import pytest

import quorvel
from conftest import MEX_DIR, OCTAVE, SOURCE_DIR, read_float_wav, vcv_call


def test_version_is_the_toolkits():
    from conftest import CLI
    if not CLI:
        pytest.skip("command-line quorvel not built")
    out = subprocess.run([CLI, "--version"], capture_output=True, text=True, check=True).stdout
    assert quorvel.__version__ and quorvel.__version__ in out


def test_score_fields_save_load_and_validate(tmp_path):
    s = quorvel.Score.default()
    assert s.TAF2.shape == (17, s.TAF1.shape[1]) and s.nss.shape == (1, 1)
    assert s.VCV is None and s.output_rate == 10000.0
    s.fs = None
    assert s.fs is None and "fs" not in s.to_json()
    s.fs = 16000
    s.save(tmp_path / "s.json")
    t = quorvel.Score.load(tmp_path / "s.json")
    assert t == s and t.fs.shape == (1, 1)
    s.TAF1 = [[0, 0], [1, 1], [1, 1]]  # two key frames on one sample
    with pytest.raises(quorvel.ArgumentError, match="must increase strictly"):
        s.validate()
    with pytest.raises(quorvel.FileError):
        t.save(tmp_path / "missing" / "s.json")
    assert sorted(os.listdir(tmp_path)) == ["s.json"]  # no temporary left behind
    # A score with an airway model keeps it through save and load.
    m = quorvel.Score.load(SOURCE_DIR / "examples" / "ama.json")
    assert m.model["nasal"]["branch_section"] == 12
    m.labels = ["a"] * m.TAF1.shape[1]
    m.signals = ["nostril_flow"]
    m.save(tmp_path / "m.json")
    assert quorvel.Score.load(tmp_path / "m.json") == m
    assert np.array_equal(quorvel.synthesize(tmp_path / "m.json").samples,
                          quorvel.synthesize(m.to_dict()).samples)
    os.unlink(tmp_path / "m.json")
    # A score from area-function files keeps the names it read.
    f = quorvel.Score.load(SOURCE_DIR / "examples" / "asa_files.json")
    assert f.input_files and all(os.path.exists(p) for p in f.input_files)


def test_result_arrays_and_files(tmp_path):
    r = quorvel.synthesize(dict(zip(("nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx", "fs",
                                      "VCV"), vcv_call(fs=16000.0, vcv=1))))
    assert len(r) == r.samples.size and np.asarray(r) is r.samples and r.fs == 16000.0
    assert r.nacc is not None and r.printed == f"nAcc[{r.nacc}]\n" and r.signals == {}
    gain = r.write(tmp_path / "a.wav")
    x, rate = read_float_wav(tmp_path / "a.wav")
    assert rate == 16000 and np.array_equal(x, r.samples * np.float32(gain))
    assert np.isclose(np.max(np.abs(x)), 0.9, rtol=1e-6)
    assert r.write(tmp_path / "raw.wav", normalize=False) == 1.0
    assert np.array_equal(read_float_wav(tmp_path / "raw.wav")[0], r.samples)
    with pytest.raises(quorvel.FileError):
        r.write(tmp_path / "no" / "a.wav")
    with pytest.raises(ValueError, match="whole number of Hz"):
        quorvel.Result(r.samples, 11025.5).write(tmp_path / "b.wav")
    with pytest.raises(quorvel.ArgumentError):
        quorvel.synthesize(quorvel.Score.default(), signals=["Ug"])
    g = quorvel.synthesize(quorvel.Score.default(), signals=["glottal_flow", "lip_flow"])
    assert sorted(g.signals) == ["glottal_flow", "lip_flow"]
    assert all(v.dtype == np.float32 and v.shape == g.samples.shape for v in g.signals.values())
    # Asking for signals leaves the pressure as it is.
    assert np.array_equal(g.samples, quorvel.synthesize(quorvel.Score.default()).samples)
    r.write(tmp_path / "a.flac")
    assert (tmp_path / "a.flac").read_bytes()[:4] == b"fLaC"
    with pytest.raises(quorvel.FileError):
        r.write(tmp_path / "a.mp3")


def _octave(script, tmp_path):
    if not (OCTAVE and MEX_DIR and os.path.exists(os.path.join(MEX_DIR, "readVTAF.mex"))):
        pytest.skip("Octave or the MEX modules not available")
    (tmp_path / "run.m").write_text(f"addpath('{MEX_DIR}');\n{script}\n")
    subprocess.run([OCTAVE, "--no-gui", "--norc", "--quiet", "run.m"], cwd=tmp_path, check=True,
                   capture_output=True, timeout=300)


def test_a_diverging_network_warns_as_the_mex_does():
    s = quorvel.Score.default()  # closed baseline, large pulses at 1000 Hz: unstable at 10 kHz
    s.TF0, s.TAg0, s.TAgP = [[0, 700], [1000, 1000], [1, 1]], [[0, 700], [0, 0], [1, 1]], \
        [[0, 700], [0.4, 0.4], [1, 1]]
    with pytest.warns(RuntimeWarning, match="not finite numbers"):
        r = quorvel.synthesize(s)
    assert not np.all(np.isfinite(r.samples))


def test_area_function_helpers_match_the_mex_entries(tmp_path):
    tract = SOURCE_DIR / "examples" / "tracts" / "s.txt"
    tube = SOURCE_DIR / "examples" / "tube.txt"
    samples = np.array([[0, 5000, 12], [7, 100, 3]])
    _octave(f"""
      1;
      function w(f, v) fid = fopen(f, 'w'); fprintf(fid, '%.17g\\n', v); fclose(fid); end
      [A, x, label, ns] = readVTAF('{tract}');
      [B, y] = FourTubeAF([1 2 0.3 4], [3 4 5 2.5], 23);
      [C, z, e] = interpolAx('{tube}', [0 5000 12; 7 100 3], 16000, 2);
      w('A', A); w('x', x); w('ns', ns); w('B', B); w('y', y); w('C', C); w('z', z); w('e', e);
      fid = fopen('label', 'w'); fputs(fid, label); fclose(fid);""", tmp_path)

    def mex(name):
        return np.loadtxt(tmp_path / name, ndmin=1)

    a, x, label, ns = quorvel.read_vtaf(tract)
    b, y = quorvel.four_tube_af([1, 2, 0.3, 4], [3, 4, 5, 2.5], 23)
    c, z, e = quorvel.tube_track(tube, samples, fs=16000, kind=2)
    assert np.array_equal(mex("A"), a) and np.array_equal(mex("x"), x) and mex("ns")[0] == ns
    assert label == (tmp_path / "label").read_text()
    assert np.array_equal(mex("B"), b) and np.array_equal(mex("y"), y)
    for got, name in zip((c, z, e), "Cze"):
        # Octave writes the matrix column by column.
        assert got.shape == samples.shape and np.array_equal(got.reshape(-1, order="F"), mex(name))
    with pytest.raises(quorvel.FileError, match="Unexpected number of VT sections"):
        quorvel.read_vtaf(tract, n=5)
    with pytest.raises(quorvel.FileError, match="not found"):
        quorvel.tube_track(tmp_path / "none.txt", [0])
    with pytest.raises(ValueError):
        quorvel.four_tube_af([1, 2, 3], [1, 1, 1, 1], 8)
    with pytest.raises(ValueError):
        quorvel.four_tube_af([1, 2, 3, -1], [1, 1, 1, 1], 8)
    with pytest.raises(ValueError, match="zero character"):
        quorvel.read_vtaf(str(tract) + "\0x")


def test_combiners_write_complete_files_or_refuse(tmp_path):
    ffmpeg = shutil.which("ffmpeg")
    if not ffmpeg:
        pytest.skip("ffmpeg not installed")
    video = tmp_path / "v.avi"
    subprocess.run([ffmpeg, "-v", "error", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=5:d=1",
                    "-c:v", "mjpeg", str(video)], check=True)
    quorvel.synthesize(quorvel.Score.default()).write(tmp_path / "a.wav")
    quorvel.brellix(tmp_path / "a.wav", video, tmp_path / "out.avi")
    quorvel.vantrix(tmp_path / "a.wav", video, tmp_path / "msvc.avi")
    for f in ("out.avi", "msvc.avi"):
        assert (tmp_path / f).read_bytes()[:4] == b"RIFF"
    with pytest.raises(quorvel.FileError):
        quorvel.brellix(tmp_path / "none.wav", video, tmp_path / "bad.avi")
    assert not (tmp_path / "bad.avi").exists()


def test_threads_synthesise_independently():
    scores = [dict(zip(("nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx", "fs"),
                       vcv_call(nvt=n, fs=fs))) for n, fs in ((17, 10000.0), (30, 16000.0))]
    serial = [quorvel.synthesize(s).samples for s in scores]
    got = [None, None]

    def run(k):
        got[k] = [quorvel.synthesize(scores[k]).samples for _ in range(3)]

    threads = [threading.Thread(target=run, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for k in range(2):
        assert all(np.array_equal(x, serial[k]) for x in got[k])


@pytest.mark.parametrize("script", sorted((SOURCE_DIR / "examples" / "python").glob("*.py")),
                         ids=lambda p: p.name)
def test_examples_run(script, tmp_path):
    env = dict(os.environ, PYTHONPATH=str(Path(quorvel.__file__).resolve().parents[1]))
    r = subprocess.run([sys.executable, str(script), str(tmp_path / "out.wav")], cwd=tmp_path,
                       capture_output=True, text=True, timeout=120, env=env)
    assert r.returncode == 0, r.stderr
    assert r.stdout.strip()
