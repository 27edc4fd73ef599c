"""Pictures of a synthesised utterance (matplotlib, Agg backend: no display)."""

from __future__ import annotations

import os
from typing import Any, Optional, Union

import numpy as np

from .analysis import tracks as _tracks
from .result import Result
from .score import as_score
from .synthesizer import synthesize


def overview(score: Any, result: Optional[Result] = None, *, every_ms: float = 5,
             path: Optional[Union[str, os.PathLike]] = None):
    """Overview of an utterance: waveform; spectrogram with the ground-truth
    formant tracks over it; the area function over time (section × time,
    cm² colour scale); glottal area and F0. ``result`` defaults to a fresh
    synthesis of ``score``. Returns the matplotlib Figure; with ``path`` also
    saves it (PNG, SVG, PDF by extension)."""
    import matplotlib
    matplotlib.use("Agg", force=True)
    import matplotlib.pyplot as plt

    s = as_score(score)
    r = result if result is not None else synthesize(s)
    tr = _tracks(s, every_ms)
    fs = r.fs
    x = np.asarray(r.samples, dtype=np.float64)
    t = np.arange(x.size) / fs
    tf = tr["time_ms"] / 1000.0

    fig, ax = plt.subplots(4, 1, figsize=(9, 10), sharex=True,
                           gridspec_kw={"height_ratios": [1, 2.2, 1.6, 1]})
    ax[0].plot(t, x, lw=0.5, color="k")
    ax[0].set_ylabel("pressure\n(dyn/cm²)")
    ax[0].set_title("waveform")

    nfft = int(2 ** np.ceil(np.log2(0.008 * fs)))  # wide-band: about 8 ms windows
    from matplotlib import mlab
    P, _, _ = mlab.specgram(x, NFFT=nfft, Fs=fs, noverlap=nfft - max(1, nfft // 8))
    top = 10 * np.log10(P.max() + 1e-30)
    # 70 dB of range: the weak frication noise shows beside the vowels.
    ax[1].specgram(x + 1e-12, NFFT=nfft, Fs=fs, noverlap=nfft - max(1, nfft // 8),
                   cmap="Greys", scale="dB", vmin=top - 70, vmax=top)
    F = tr["formants_Hz"]
    for k in range(F.shape[1]):
        ax[1].plot(tf, F[:, k], ".", ms=2.5, color="tab:red", label="formants" if k == 0 else None)
    ax[1].set_ylim(0, fs / 2)
    ax[1].set_ylabel("frequency (Hz)")
    ax[1].set_title("spectrogram with the ground-truth formants")
    ax[1].legend(loc="upper right", fontsize=8)

    areas = _area_images(s, tr)
    im = ax[2].imshow(areas.T, origin="lower", aspect="auto", cmap="viridis",
                      extent=[tf[0], tf[-1] if tf.size > 1 else tf[0] + 1e-3, -0.5,
                              areas.shape[1] - 0.5])
    ax[2].set_ylabel("section\n(glottis 0)")
    ax[2].set_title("area function")
    fig.colorbar(im, ax=ax[2], label="cm²", pad=0.01, fraction=0.04)

    ax[3].plot(tf, tr["Ag_cm2"], color="tab:blue")
    ax[3].set_ylabel("glottal area\n(cm²)", color="tab:blue")
    a2 = ax[3].twinx()
    a2.plot(tf, tr["F0_Hz"], color="tab:orange")
    a2.set_ylabel("F0 (Hz)", color="tab:orange")
    ax[3].set_xlabel("time (s)")
    ax[3].set_title("glottal area and F0")
    for a in ax[:3]:
        a.label_outer()
    fig.tight_layout()
    if path is not None:
        fig.savefig(os.fspath(path), dpi=110)
    return fig


def _area_images(score, tr) -> np.ndarray:
    """Area function per frame (frames × sections), interpolated linearly
    between the key frames (an image; the tracks' own values are exact)."""
    f = score._fields
    taf1, taf2 = f["TAF1"], f["TAF2"]
    times = taf1[0]
    t = tr["time_ms"]
    out = np.empty((t.size, taf2.shape[0]))
    for i in range(taf2.shape[0]):
        out[:, i] = np.interp(t, times, taf2[i])
    return out
