"""Bad input: every refusal of the MEX is an ArgumentError with its text;
wrong Python types give TypeError/ValueError; a fuzz of bad calls leaves the
interpreter standing."""

import random

import numpy as np
import pytest

import quorvel
from conftest import run_mex, vcv_call

FIELDS = ("nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx", "fs", "VCV")
NAN, INF = float("nan"), float("inf")


def base():
    return vcv_call(nvt=6, fs=10000.0, dur_ms=40.0, vcv=0)


def with_arg(i, value):
    a = base()
    a[i] = np.asarray(value, dtype=float)
    return a


def with_entry(i, r, c, value):
    a = base()
    a[i] = a[i].copy()
    a[i][r, c] = value
    return a


# Calls the argument check refuses, one per kind of refusal.
REFUSED = {
    "nss not 1x1": with_arg(0, [[6, 6]]),
    "nss 0": with_arg(0, [[0]]),
    "nss 41": with_arg(0, [[41]]),
    "nss NaN": with_arg(0, [[NAN]]),
    "TAg0 2 rows": with_arg(1, [[0, 40], [0.1, 0.1]]),
    "TF0 4 rows": with_arg(3, np.zeros((4, 2))),
    "TAF1 2 rows": with_arg(4, [[0, 40], [1, 1]]),
    "dx wrong shape": with_arg(6, np.ones((2, 3))),
    "dx empty": with_arg(6, np.zeros((0, 0))),
    "fs empty": with_arg(7, np.zeros((0, 0))),
    "fs 0": with_arg(7, [[0]]),
    "fs -1": with_arg(7, [[-1]]),
    "fs NaN": with_arg(7, [[NAN]]),
    "fs inf": with_arg(7, [[INF]]),
    "fs beyond float": with_arg(7, [[1e300]]),
    "VCV empty": with_arg(8, np.zeros((0, 0))),
    "VCV NaN": with_arg(8, [[NAN]]),
    "VCV beyond int": with_arg(8, [[3e9]]),
    "no key frames": with_arg(4, np.zeros((3, 0))),
    "TAF2 too few": with_arg(5, np.ones((2, 5))),
    "time negative": with_entry(1, 0, 0, -1.0),
    "time NaN": with_entry(2, 0, 1, NAN),
    "time inf": with_entry(3, 0, 3, INF),
    "time beyond index": with_entry(1, 0, 4, 1e12),
    "times not increasing": with_entry(1, 0, 1, 0.0),
    "key times on one sample": with_entry(4, 0, 1, 0.05),
    "kind NaN": with_entry(1, 2, 0, NAN),
    "kind beyond int": with_entry(3, 2, 1, 1e10),
    "source section NaN": with_entry(4, 2, 0, NAN),
}


def test_every_mex_refusal_is_an_argument_error_with_its_text():
    names = sorted(REFUSED)
    mex = run_mex([(True, REFUSED[n]) for n in names])
    accepted = [name for name, (sig, _, _) in zip(names, mex) if sig is not None]
    assert not accepted, f"the MEX accepted {accepted}"
    for name, (sig, _, err) in zip(names, mex):
        args = REFUSED[name]
        with pytest.raises(quorvel.ArgumentError) as e1:
            quorvel.Synthesizer().quorvel(*args)
        with pytest.raises(quorvel.ArgumentError) as e2:
            quorvel.synthesize(dict(zip(FIELDS, args)))
        with pytest.raises(ValueError) as e3:
            quorvel.Score(dict(zip(FIELDS, args))).validate()
        assert str(e1.value) == str(e2.value) == str(e3.value) == err, name


def test_score_refusals_carry_the_score_readers_text(tmp_path):
    good = quorvel.Score.default().to_dict()
    cases = {"missing field \"TF0\"": {k: v for k, v in good.items() if k != "TF0"},
             "unknown field \"tf0\"": dict(good, tf0=1)}
    for text, fields in cases.items():
        with pytest.raises(quorvel.ArgumentError, match=text):
            quorvel.synthesize(fields)
    with pytest.raises(quorvel.FileError, match="cannot open score file"):
        quorvel.Score.load(tmp_path / "none.json")
    (tmp_path / "bad.json").write_text('{"nss": 17,')
    with pytest.raises(quorvel.ArgumentError, match="malformed JSON"):
        quorvel.Score.load(tmp_path / "bad.json")
    # An area-function file named by a dict is found from base_dir.
    files = {"nss": 17, "TAg0": good["TAg0"], "TAgP": good["TAgP"], "TF0": good["TF0"],
             "TAF1": [[0, 100], [1, 1], [1, 1]], "TAF2_files": ["a.txt", "a.txt"]}
    with pytest.raises(quorvel.ArgumentError, match="not found"):
        quorvel.Score(files, base_dir=tmp_path)


ASA = quorvel.Score.default().to_dict()
big_endian = ASA["TAg0"].astype(">f8")
non_contiguous = np.asfortranarray(np.repeat(ASA["TAF2"], 2, axis=1))[:, ::2]


@pytest.mark.parametrize("field,value,error", [
    ("TAg0", None, TypeError),
    ("TAg0", "0 300", TypeError),
    ("TAg0", [[0, 300], [0.1], [1, 1]], ValueError),
    ("TAg0", [[0, "a"], [1, 1], [1, 1]], TypeError),
    ("TAg0", ASA["TAg0"] + 0j, TypeError),
    ("TAg0", ASA["TAg0"] > 0, TypeError),
    ("TAF2", np.ones((17, 6, 2)), ValueError),
    ("nss", {"n": 17}, TypeError),
    ("nss", [17, [1]], ValueError),
    ("dx", object(), TypeError),
    ("nss", 10 ** 30, TypeError),
])
def test_wrong_python_types_are_refused(field, value, error):
    with pytest.raises(error):
        quorvel.synthesize(dict(ASA, **{field: value}))
    with pytest.raises(error):
        args = [ASA[k] for k in FIELDS[:7]]
        args[FIELDS.index(field)] = value
        quorvel.Synthesizer().quorvel(*args)


def test_any_layout_and_byte_order_gives_the_same_samples():
    ref = quorvel.synthesize(ASA).samples
    assert not non_contiguous.flags.c_contiguous and not non_contiguous.flags.f_contiguous
    got = quorvel.synthesize(dict(ASA, TAg0=big_endian, TAF2=non_contiguous,
                                  TF0=ASA["TF0"].astype(np.float32).astype(np.float64).tolist()))
    assert np.array_equal(got.samples, ref)
    with pytest.raises(TypeError):
        quorvel.synthesize(42)
    with pytest.raises(TypeError):
        quorvel.synthesize(None)


def test_fuzz_of_bad_calls_raises_only_the_documented_errors():
    rng = random.Random(20261208)
    small = dict(zip(FIELDS, vcv_call(nvt=5, dur_ms=20.0)))
    values = [None, "x", NAN, INF, -INF, -1, 0, 1, 2.5, 1e20, -1e20, 2 ** 40, [], [[]],
              [[], [], []], [1, 2], [[1, 2], [3]], 1j, True, np.zeros((3, 2, 1)), np.zeros((3, 0)),
              np.full((3, 3), NAN), np.ones((40, 5)), np.arange(9.0).reshape(3, 3)]
    syn = quorvel.Synthesizer(max_samples=3000)  # keeps a long accepted call short
    outcomes = {}
    for _ in range(3000):
        fields = {k: np.array(v, copy=True) for k, v in small.items()}
        for _ in range(rng.randint(1, 3)):
            key = rng.choice(FIELDS)
            if rng.random() < 0.5:
                fields[key] = rng.choice(values)
            else:
                a = fields.get(key)
                a = np.array(a, dtype=float) if isinstance(a, np.ndarray) and a.dtype.kind == "f" \
                    else np.ones((1, 1))
                if a.size:
                    a.flat[rng.randrange(a.size)] = rng.choice([NAN, -5, 0, 1e9, 3, 41, 0.3])
                fields[key] = a
        if rng.random() < 0.1:
            fields.pop(rng.choice(FIELDS), None)
        try:
            if rng.random() < 0.5:
                syn.synthesize(fields)
            else:
                syn.quorvel(*[fields.get(k, []) for k in FIELDS[:7]])
            kind = "ok"
        except (TypeError, ValueError, MemoryError) as e:
            kind = type(e).__name__
        outcomes[kind] = outcomes.get(kind, 0) + 1
    assert outcomes.get("ArgumentError", 0) > 1000 and outcomes.get("ArgumentTypeError", 0) > 100
    # Still a working synthesiser.
    assert len(syn.synthesize(small)) == len(quorvel.synthesize(small))
