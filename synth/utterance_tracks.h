#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/tract_analysis.h"
#include "synth/synthesis_request.h"

namespace vt {

/// Ground truth of one frame of a synthesised utterance.
struct TrackFrame {
  double time_ms = 0;    ///< time of the frame's output sample, ms
  float f0_Hz = 0;       ///< fundamental frequency of the F0 track, Hz
  float Ag_cm2 = 0;      ///< smoothed glottal area handed to the network, cm²
  float Psub_cmH2O = 0;  ///< lung pressure, cm H2O
  /// Resonances of the frame's area function (closed glottis, as the
  /// trapezoidal rule at the simulation rate sees them), at most five,
  /// below half the output rate.
  std::vector<analysis::Resonance> formants;
  int narrowest_section = 0;     ///< section index of the narrowest section (glottis end 0)
  float narrowest_area_cm2 = 0;  ///< its area, cm²
  /// Element (junction) that received the frication noise at this sample: the
  /// junction between sections m-1 and m; -1 when no noise is injected.
  int frication_junction = -1;
  /// The frame's vocal-tract area function as the network sees it, cm²,
  /// glottis end first (one value per section).
  std::vector<float> areas_cm2;
};

/// Per-frame ground truth of a request: synthesises it (the same control-track,
/// glottal and area-function interpolators and network as the audio) and
/// samples the values every every_ms ms (> 0), from 0 to the last sample; the
/// formants are analysed from each frame's interpolated area function. A
/// refused request gives an empty result and the reason in error. duration_s,
/// if given, receives the length of the synthesised utterance.
std::vector<TrackFrame> utteranceTracks(const SynthesisRequest& request, double every_ms,
                                        std::string& error, double* duration_s = nullptr);

/// The frames as CSV: a header line, then one line per frame (time_ms, F0_Hz,
/// Ag_cm2, Psub_cmH2O, F1_Hz, B1_Hz .. F5_Hz, B5_Hz, narrowest_section,
/// narrowest_area_cm2, frication_junction); missing formants are empty cells.
std::string tracksCsv(const std::vector<TrackFrame>& frames);

/// A Praat TextGrid (long text format) with one interval tier "keyframes":
/// key frame k (label k) owns the time from the midpoint with key frame k-1
/// (0 for the first) to the midpoint with key frame k+1 (duration_s for the
/// last). labels must hold one entry per key frame.
std::string keyFrameTextGrid(const SynthesisRequest& request,
                             const std::vector<std::string>& labels, double duration_s);

}  // namespace vt
