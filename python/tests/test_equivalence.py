"""quorvel.synthesize gives, bit for bit, the samples of the command line's
--raw output and of the MEX module in a fresh Octave; a Synthesizer over
several calls gives the loaded MEX's sequence."""

import numpy as np
import pytest

import quorvel
from conftest import EXAMPLE_SCORES, VARIED_CALLS, cli_raw, run_mex

FIELDS = ("nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx", "fs", "VCV")


def as_dict(args):
    return dict(zip(FIELDS, args))


def same_bits(a, b):
    a = np.asarray(a, dtype=np.float64)
    b = np.asarray(b, dtype=np.float64)
    return a.shape == b.shape and np.array_equal(a.view(np.uint64), b.view(np.uint64))


@pytest.mark.parametrize("path", EXAMPLE_SCORES, ids=lambda p: p.name)
def test_example_scores_match_command_line(path, tmp_path):
    r = quorvel.synthesize(path)
    assert r.samples.dtype == np.float32 and r.samples.ndim == 1
    assert same_bits(r.samples, cli_raw(path, tmp_path))
    # The same score as a dict, as a Score and saved again gives the same samples.
    s = quorvel.Score.load(path)
    assert same_bits(quorvel.synthesize(s.to_dict()).samples, r.samples)
    s.save(tmp_path / "again.json")
    assert quorvel.Score.load(tmp_path / "again.json") == s


# A WAV file holds a whole number of Hz: the command line refuses 11025.5 Hz.
@pytest.mark.parametrize("name", sorted(n for n in VARIED_CALLS if n != "fs 11025.5"))
def test_varied_calls_match_command_line(name, tmp_path):
    score = quorvel.Score(as_dict(VARIED_CALLS[name]))
    score.save(tmp_path / "call.json")
    assert same_bits(quorvel.synthesize(score).samples, cli_raw(tmp_path / "call.json", tmp_path))


def test_scores_and_calls_match_mex_in_fresh_octave():
    # Scores with an airway model go through quorvel_synth, the others through quorvel.
    scores = [quorvel.Score.load(p) for p in EXAMPLE_SCORES]
    modelled = [p for p, s in zip(EXAMPLE_SCORES, scores) if s.model is not None]
    mex = run_mex([(True, p) for p in modelled])
    for path, (sig, _, err) in zip(modelled, mex):
        assert err is None, err
        assert same_bits(quorvel.synthesize(path).samples, sig), path.name
    cases = [s.args() for s in scores if s.model is None]
    cases += [VARIED_CALLS[n] for n in sorted(VARIED_CALLS)]
    mex = run_mex([(True, a) for a in cases])
    for args, (sig, printed, err) in zip(cases, mex):
        assert err is None, err
        r = quorvel.synthesize(as_dict(args))
        assert same_bits(r.samples, sig)
        assert r.printed == printed
        q = quorvel.Synthesizer().quorvel(*args)
        assert same_bits(q.samples, sig)
        if len(args) == 9:
            assert r.nacc is not None and printed == f"nAcc[{r.nacc}]\n"


def test_synthesizer_carries_state_as_the_loaded_mex():
    asa = quorvel.Score.default().args()
    short = VARIED_CALLS["fs 16000"]
    sequence = [asa, asa, short, asa]
    mex = run_mex([(k == 0, a) for k, a in enumerate(sequence)])
    syn = quorvel.Synthesizer()
    # Scores and MEX-style calls share the synthesiser's state.
    got = [(syn.quorvel(*a) if k % 2 else syn.synthesize(as_dict(a))).samples
           for k, a in enumerate(sequence)]
    for g, (sig, _, err) in zip(got, mex):
        assert err is None and same_bits(g, sig)
    assert not np.array_equal(got[0], got[1])  # the noise carried on
    # Pure: synthesize() always gives the first call's samples.
    assert same_bits(quorvel.synthesize(quorvel.Score.default()).samples, got[0])
