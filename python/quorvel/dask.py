"""quorvel.dask: a corpus manifest synthesised on a Dask ``distributed`` cluster.

Each utterance is one pure task that runs the batch command's utterance job
(the same C++ code as ``quorvel batch``): the files a task writes and the
metadata row it returns equal those of ``quorvel batch`` for the same
manifest, apart from the processor time. ``distributed`` (Debian:
python3-distributed) is imported only when a corpus is synthesised.
"""

from __future__ import annotations

import json
import os
import uuid
from typing import Any, Dict, Iterable, List, Optional, Union

from . import _core
from ._convert import as_path
from ._errors import ArgumentError
from .score import Score
from .synthesizer import _signal_names

METADATA_NAME = "metadata.jsonl"


def _utterance(entry: Dict[str, Any], outdir: str, signals: List[str]) -> str:
    """One task: synthesises a manifest entry, writes its files into outdir
    (each complete or not at all) and returns its metadata line."""
    return _core.run_manifest_entry(entry, outdir, signals)


def synthesize_corpus(manifest: Union[str, os.PathLike], outdir: Union[str, os.PathLike],
                      client: Any = None, *, signals: Iterable[str] = ()
                      ) -> List[Dict[str, Any]]:
    """Synthesises every utterance of a JSON Lines manifest (the format of
    ``quorvel batch``: one ``{"id", "score": path or inline object, "seed",
    "output"}`` a line, paths relative to the manifest) on a Dask cluster,
    one task per utterance.

    - ``outdir``: directory the outputs go to (``<id>.wav``, 32-bit float
      radiated pressure in dyn/cm², and ``<id>.<signal>.wav``); on a cluster
      it must be storage that every worker sees under the same path.
    - ``client``: a ``distributed.Client``; None takes the current client,
      or, when there is none, starts a LocalCluster of one single-threaded
      worker process per core for this call.
    - ``signals``: internal signals to store beside each output (as
      ``quorvel batch --signals``).

    A failing utterance does not stop the others. Writes
    ``outdir/metadata.jsonl`` (in manifest order, complete or not at all) and
    returns its rows as dicts: id, status ("ok"/"failed"), error, samples,
    fs (Hz), duration (s), peak and RMS (dyn/cm²), nonfinite, cpu_seconds,
    score_sha256, version, ... Raises FileError when the manifest cannot be
    read or outdir cannot be created, ArgumentError for an unknown signal
    name, both before any task starts.
    """
    path = os.path.abspath(as_path("manifest", manifest))
    out = os.path.abspath(as_path("outdir", outdir))
    names = _signal_names(signals)
    if names:  # unknown names refused before any work, as quorvel batch --signals does
        status, _, error = _core.check_score(Score.default()._core_fields(names))
        if status != 0:
            raise ArgumentError(error)
    try:
        import distributed  # only here: the package works without it
    except ImportError:
        raise ImportError("quorvel.dask needs Dask's distributed package (Debian: "
                          "python3-distributed)") from None
    entries = _core.read_manifest(path)
    _core.prepare_output_directory(out, [e["output"] for e in entries if e["output"]],
                                   METADATA_NAME)

    own_cluster = None
    if client is None:
        try:
            client = distributed.get_client()
        except ValueError:
            own_cluster = distributed.LocalCluster(threads_per_worker=1, processes=True,
                                                   dashboard_address=None)
            client = distributed.Client(own_cluster)
    try:
        run = uuid.uuid4().hex  # a call of its own: never the results of an earlier call
        futures = client.map(_utterance, entries, outdir=out, signals=names,
                             key=[f"quorvel-utterance-{e['index']}-{run}" for e in entries])
        try:
            lines = client.gather(futures)
        finally:
            client.cancel(futures)
    finally:
        if own_cluster is not None:
            client.close()
            own_cluster.close()
    _core.write_metadata(os.path.join(out, METADATA_NAME), lines)
    return [json.loads(line) for line in lines]
