"""quorvel.synthesize_many: the samples of quorvel.synthesize whatever the
number of workers, failures in place or raised in input order, Ctrl-C."""

import os
import signal
import subprocess
import sys
import time

import numpy as np
import pytest

import quorvel
from conftest import EXAMPLE_SCORES


def _scores():
    base = quorvel.Score.default()
    fast = quorvel.Score.default()
    fast.fs = 16000
    fields = {k: getattr(base, k) for k in ("nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx")}
    return [base, str(EXAMPLE_SCORES[0]), fast, fields, EXAMPLE_SCORES[-1], base]


def test_results_equal_synthesize_for_any_worker_count(capsys):
    scores = _scores()
    ref = [quorvel.synthesize(s) for s in scores]
    for workers, progress, lanes in ((1, False, 1), (2, True, 1), (None, False, 1), (1, False, 4),
                                     (2, False, 3)):
        got = quorvel.synthesize_many(scores, workers=workers, progress=progress, lanes=lanes)
        assert len(got) == len(ref)
        for r, g in zip(ref, got):
            assert isinstance(g, quorvel.Result) and g.fs == r.fs and g.printed == r.printed
            assert g.samples.tobytes() == r.samples.tobytes()
    assert "6/6" in capsys.readouterr().err  # the tqdm bar reached the total
    alone = quorvel.synthesize(scores[1], signals=["glottal_flow"]).signals["glottal_flow"]
    for lanes in (1, 2):
        sig = quorvel.synthesize_many(scores[:3], signals=["glottal_flow"], lanes=lanes)[1].signals
        assert sig["glottal_flow"].tobytes() == alone.tobytes()
    assert quorvel.synthesize_many([]) == []


def test_failures_in_place_or_the_first_raised(tmp_path):
    good = quorvel.Score.default()
    short = quorvel.Score.default()
    short.TAF2 = short.TAF2[:-1]  # one section fewer than nss: the checks refuse it
    missing = str(tmp_path / "nowhere.json")
    scores = [good, short, good, missing, 42, good]
    got = quorvel.synthesize_many(scores, workers=2, errors="return")
    assert [bool(r) for r in got] == [True, False, True, False, False, True]
    in_lanes = quorvel.synthesize_many(scores, workers=1, errors="return", lanes=3)
    assert [repr(r) if not r else r.samples.tobytes() for r in in_lanes] == \
        [repr(r) if not r else r.samples.tobytes() for r in got]
    assert [f.index for f in got if not f] == [1, 3, 4]
    assert got[1].error_type == "ArgumentError" and "quorvel argument checking failed" in got[1].message
    assert got[3].error_type == "FileError" and "nowhere.json" in got[3].message
    assert got[4].error_type == "ArgumentTypeError"
    assert np.array_equal(got[5].samples, got[0].samples)
    for lanes in (1, 2):
        with pytest.raises(quorvel.ArgumentError, match="argument checking") as e:
            quorvel.synthesize_many(scores, workers=2, lanes=lanes)
        assert e.value.index == 1
    with pytest.raises(quorvel.FileError) as e:  # a conversion failure after good scores
        quorvel.synthesize_many([good, missing, short])
    assert e.value.index == 1
    for bad, kind in (({"workers": 0}, ValueError), ({"workers": True}, TypeError),
                      ({"lanes": 0}, ValueError), ({"lanes": 9}, ValueError),
                      ({"errors": "ignore"}, ValueError), ({"signals": "Ug"}, TypeError)):
        with pytest.raises(kind):
            quorvel.synthesize_many([good], **bad)
    with pytest.raises(TypeError, match="not one score"):
        quorvel.synthesize_many(missing)


@pytest.mark.parametrize("lanes", [1, 3])
def test_ctrl_c_stops_the_pool(lanes):
    code = ("import quorvel, sys\n"
            "s = quorvel.Score.default()\n"
            "print('go', flush=True)\n"
            "try:\n"
            f"    quorvel.synthesize_many([s] * 5000, workers=2, lanes={lanes})\n"
            "except KeyboardInterrupt:\n"
            "    print('interrupted', flush=True)\n")
    p = subprocess.Popen([sys.executable, "-c", code], stdout=subprocess.PIPE, text=True,
                         env=dict(os.environ))
    assert p.stdout.readline().strip() == "go"
    time.sleep(1.0)
    t0 = time.monotonic()
    p.send_signal(signal.SIGINT)
    out, _ = p.communicate(timeout=60)
    assert "interrupted" in out and p.returncode == 0
    assert time.monotonic() - t0 < 20  # stopped, not run to the end


def test_corpus_refusals_come_before_any_task(tmp_path):
    import quorvel.dask
    manifest = tmp_path / "m.jsonl"
    manifest.write_text('{"id": "a", "score": "a.json"}\n')
    with pytest.raises(quorvel.ArgumentError, match='unknown signal "Ug"'):
        quorvel.dask.synthesize_corpus(manifest, tmp_path / "out", signals=["Ug"])
    with pytest.raises(quorvel.FileError, match="cannot open the manifest"):
        quorvel.dask.synthesize_corpus(tmp_path / "none.jsonl", tmp_path / "out")
    assert not (tmp_path / "out").exists()
