"""quorvel batch over a 200-line corpus: --jobs 1, --jobs 2, --lanes 3 and 8,
two shards and a killed-and-resumed run and the Dask path (quorvel.dask on a LocalCluster of
two worker processes) give the same files and metadata; failures are
reported; nothing partial is left.
Usage: batch_cli_test.py QUORVEL [PYTHON PACKAGE_DIR]"""
import json
import os
import signal
import subprocess
import sys
import tempfile
import time

from corpus_fixture import make_corpus

QUORVEL = sys.argv[1]
# The interpreter the quorvel package is built for, and the package's folder.
PACKAGE_PYTHON, PACKAGE_DIR = (sys.argv[2], sys.argv[3]) if len(sys.argv) > 3 else ("", "")
SKIP = 77

DASK_RUN = """
import json, sys
try:
    import distributed, quorvel.dask
except ImportError as e:
    print("skipped:", e)
    sys.exit(%d)
manifest, out = sys.argv[1:3]
with distributed.LocalCluster(n_workers=2, processes=True, threads_per_worker=1,
                              dashboard_address=None) as cluster, distributed.Client(cluster):
    rows = quorvel.dask.synthesize_corpus(manifest, out)
with open(out + "/metadata.jsonl") as f:
    assert rows == [json.loads(l) for l in f], "returned rows are the file's"
""" % SKIP
TIMING = ("cpu_seconds",)


def check(cond, what):
    if not cond:
        raise SystemExit("FAIL: " + what)


def batch(manifest, out, *extra):
    return subprocess.run([QUORVEL, "batch", manifest, "-o", out, *extra],
                          capture_output=True, text=True, timeout=300)


def rows(out):
    result = []
    for name in sorted(os.listdir(out)):
        if name.startswith("metadata") and name.endswith(".jsonl"):
            with open(os.path.join(out, name)) as f:
                result += [json.loads(l) for l in f]
    for r in result:
        for k in TIMING:
            r.pop(k)
    return sorted(result, key=lambda r: r["index"])


def sound(data):
    """The format and sample chunks of a RIFF/WAVE file (checks it is whole)."""
    check(data[:4] == b"RIFF" and data[8:12] == b"WAVE", "a WAV file")
    chunks, pos = {}, 12
    while pos + 8 <= len(data):
        size = int.from_bytes(data[pos + 4:pos + 8], "little")
        chunks[data[pos:pos + 4]] = data[pos + 8:pos + 8 + size]
        pos += 8 + size + (size & 1)
    check(len(chunks.get(b"data", b"")) > 0, "sample data present")
    return chunks[b"fmt "], chunks[b"data"]


def outputs(out):
    files = {}
    for name in os.listdir(out):
        check(not name.startswith("."), "unfinished file left: " + name)
        if not name.endswith(".jsonl"):
            with open(os.path.join(out, name), "rb") as f:
                files[name] = f.read()
            sound(files[name])
    return files


def main(tmp):
    manifest, failing = make_corpus(os.path.join(tmp, "corpus"))

    one = os.path.join(tmp, "jobs1")
    r = batch(manifest, one, "--jobs", "1", "--lanes", "1")
    check(r.returncode == 1, "exit 1 when some fail, got %d: %s" % (r.returncode, r.stderr))
    check(r.stdout.count("\n") == 1 and "200 utterances" in r.stdout, "one summary line: " + r.stdout)
    ref, ref_files = rows(one), outputs(one)
    check(len(ref) == 200, "one row per manifest line")
    with open(os.path.join(one, "metadata.jsonl")) as f:
        check([json.loads(l)["index"] for l in f] == list(range(200)), "metadata in manifest order")
    failed = {(r["id"] or "line %d" % r["line"]): r["error"] for r in ref if r["status"] == "failed"}
    check(set(failed) == set(failing), "failed items %s, expected %s" % (sorted(failed), sorted(failing)))
    for key, msg in failing.items():
        check(msg in failed[key], "%s: message %r lacks %r" % (key, failed[key], msg))
        check(key in r.stderr, "failure of %s listed on stderr" % key)
    ok = [r for r in ref if r["status"] == "ok"]
    check(all(r["output"] in ref_files and r["peak"] > 0 and not r["nonfinite"] for r in ok),
          "every ok row has its output")
    check(len(ref_files) == len(ok), "no output for failed items")
    check(len({r["score_sha256"] for r in ok}) == len(ok), "content hashes tell the utterances apart")

    two = os.path.join(tmp, "jobs2")
    batch(manifest, two, "--jobs", "2", "--lanes", "1")
    check(rows(two) == ref and outputs(two) == ref_files, "--jobs 2 gives the --jobs 1 files and rows")
    # Lanes, with a signal so that its tap runs in lanes too: of the mixed
    # corpus, what has the same sections and rates steps together.
    sig1 = os.path.join(tmp, "signals-lanes1")
    batch(manifest, sig1, "--jobs", "1", "--lanes", "1", "--signals", "glottal_flow")
    sig_rows, sig_files = rows(sig1), outputs(sig1)
    check(len(sig_files) == 2 * len(ref_files), "a signal file beside each output")
    for jobs, lanes in (("1", "8"), ("2", "3"), ("2", None)):  # None: the default
        laned = os.path.join(tmp, "lanes%s" % lanes)
        batch(manifest, laned, "--jobs", jobs, "--signals", "glottal_flow",
              *(("--lanes", lanes) if lanes else ()))
        check(rows(laned) == sig_rows and outputs(laned) == sig_files,
              "--lanes %s gives the --lanes 1 files and rows" % lanes)
    check(batch(manifest, laned, "--lanes", "9").returncode == 2, "--lanes 9 refused")

    dask_out = os.path.join(tmp, "dask")
    if PACKAGE_PYTHON and os.path.isdir(os.path.join(PACKAGE_DIR, "quorvel")):
        env = dict(os.environ, PYTHONPATH=PACKAGE_DIR, PYTHONDONTWRITEBYTECODE="1")
        r = subprocess.run([PACKAGE_PYTHON, "-c", DASK_RUN, manifest, dask_out], env=env,
                           capture_output=True, text=True, timeout=600)
        if r.returncode == SKIP:
            print("dask path " + r.stdout.strip())
        else:
            check(r.returncode == 0, "dask path: " + r.stderr[-3000:])
            with open(os.path.join(dask_out, "metadata.jsonl")) as f:
                check([json.loads(l)["index"] for l in f] == list(range(200)),
                      "dask metadata in manifest order")
            check(rows(dask_out) == ref and outputs(dask_out) == ref_files,
                  "the Dask path gives the --jobs 1 files and rows")
    else:
        print("dask path skipped: the Python package is not built")

    shards = os.path.join(tmp, "shards")
    for k in ("2/2", "1/2"):
        batch(manifest, shards, "--shard", k, "--jobs", "1")
    check(rows(shards) == ref and outputs(shards) == ref_files, "two shards cover the manifest once")

    # Killed mid-run (SIGKILL: no clean-up at all), then resumed.
    resumed = os.path.join(tmp, "resumed")
    p = subprocess.Popen([QUORVEL, "batch", manifest, "-o", resumed, "--jobs", "2"],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    meta = os.path.join(resumed, "metadata.jsonl")
    deadline = time.time() + 60
    while time.time() < deadline and p.poll() is None:
        if os.path.exists(meta) and os.path.getsize(meta) > 20000:
            break
        time.sleep(0.002)
    p.send_signal(signal.SIGKILL)
    p.wait()
    with open(meta) as f:
        done_before = sum(1 for _ in f)
    check(0 < done_before < 200, "the kill came mid-run (%d rows)" % done_before)
    r = batch(manifest, resumed, "--resume", "--jobs", "2", "--lanes", "2")
    check("kept from the earlier run" in r.stdout, "resume keeps finished items: " + r.stdout)
    check(rows(resumed) == ref and outputs(resumed) == ref_files, "killed and resumed gives the same")

    # Ctrl-C (in lanes): exit 130, the finished rows stay, nothing unfinished.
    stopped = os.path.join(tmp, "stopped")
    p = subprocess.Popen([QUORVEL, "batch", manifest, "-o", stopped, "--jobs", "2", "--lanes", "2"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    meta = os.path.join(stopped, "metadata.jsonl")
    while p.poll() is None and not (os.path.exists(meta) and os.path.getsize(meta) > 20000):
        time.sleep(0.002)
    p.send_signal(signal.SIGINT)
    summary = p.communicate()[0]
    check(p.returncode == 130, "SIGINT gives exit 130, got %d" % p.returncode)
    check("not done (stopped)" in summary, "summary tells the run was stopped: " + summary)
    part = outputs(stopped)
    check(all(ref_files[n] == b for n, b in part.items()), "files of a stopped run are complete")

    # Resume redoes what changed: an edited score, a damaged output.
    victim = next(r for r in ok if os.path.exists(os.path.join(os.path.dirname(manifest), "scores", r["id"] + ".json")))
    damaged = next(r for r in ok if r is not victim)
    spath = os.path.join(os.path.dirname(manifest), "scores", victim["id"] + ".json")
    with open(spath) as f:
        s = json.load(f)
    s["dx"] = 0.9
    with open(spath, "w") as f:
        json.dump(s, f)
    with open(os.path.join(one, damaged["output"]), "r+b") as f:
        f.truncate(100)
    r = batch(manifest, one, "--resume", "--jobs", "2")
    check("(198 kept" not in r.stdout and "kept" in r.stdout, r.stdout)
    again = {x["id"]: x for x in rows(one)}
    check(again[victim["id"]]["score_sha256"] != victim["score_sha256"], "edited score redone")
    with open(os.path.join(one, damaged["output"]), "rb") as f:
        check(f.read() == ref_files[damaged["output"]], "damaged output redone")
    check(r.stdout.split("(")[1].startswith("%d kept" % (len(ok) - 2)), "all others kept: " + r.stdout)
    # Signals beside the outputs; the airway model is part of the content hash.
    small = os.path.join(tmp, "small.jsonl")
    base = json.load(open(os.path.join(os.path.dirname(manifest), "scores", "u001.json")))
    nasal = dict(base, model={"Psub": 9})
    with open(small, "w") as f:
        f.write(json.dumps({"id": "a", "score": base}) + "\n" + json.dumps({"id": "b", "score": nasal}) + "\n")
    sig = os.path.join(tmp, "signals")
    r = batch(small, sig, "--signals", "glottal_flow")
    check(r.returncode == 0, r.stderr)
    check(os.path.exists(os.path.join(sig, "a.glottal_flow.wav")), "signal file written")
    two_rows = rows(sig)
    check(two_rows[0]["score_sha256"] != two_rows[1]["score_sha256"], "model changes the hash")
    check(batch(small, sig, "--signals", "nonsense").returncode == 2, "unknown signal refused")
    print("ok: %d utterances, %d failing as expected" % (len(ref), len(failed)))


with tempfile.TemporaryDirectory(prefix="quorvel-batch-") as scratch:
    main(scratch)
