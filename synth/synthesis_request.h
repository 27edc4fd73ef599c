#pragma once

#include <string>
#include <vector>

#include "synth/control_track.h"
#include "synth/synthesis_options.h"

namespace vt {

/// One key frame of the vocal-tract area function.
struct KeyFrame {
  double time_ms = 0.0;                  ///< time, ms
  Transition kind = Transition::Linear;  ///< law of the transition towards this frame
  int noiseSourceOffset = 1;             ///< frication source: junctions downstream of the
                                         ///< narrowest section's outlet; < 0 keeps the last
  std::vector<double> areas_cm2;         ///< nvt section areas, glottis first, cm²
  std::vector<double> lengths_cm;        ///< nvt section lengths, cm
  bool operator==(const KeyFrame&) const = default;
};

/// Everything one synthesis needs: the glottal and F0 tracks, the area-function
/// key frames, the output rate and the model options. Values are kept as the
/// caller gave them (double); the synthesis rounds them to single precision.
struct SynthesisRequest {
  int nvt = 17;                  ///< vocal-tract sections, 1..40
  ControlTrack TAg0;             ///< glottal baseline area, cm²
  ControlTrack TAgP;             ///< glottal pulse amplitude, cm²
  ControlTrack TF0;              ///< fundamental frequency, Hz
  std::vector<KeyFrame> frames;  ///< area-function key frames (at least one)
  float smpfrq = 10000.0f;       ///< output sampling frequency, Hz
  bool VCV = false;              ///< report the narrowest section of the frication frames
  SynthesisOptions options;      ///< network, source and rate options
  /// Internal signals to return beside the pressure (names: see
  /// internalSignalNames() in synth/internal_signals.h); empty: none.
  std::vector<std::string> signals;
  bool operator==(const SynthesisRequest&) const = default;

  /// Simulation rate, Hz: options.oversampling steps per output sample
  /// (single-precision product, 3·smpfrq by default).
  float simfrq() const { return static_cast<float>(options.oversampling) * smpfrq; }
};

}  // namespace vt
