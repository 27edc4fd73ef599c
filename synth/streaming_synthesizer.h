#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "records/area_function.h"
#include "simulator/simulator.h"
#include "synth/glottal_drive.h"
#include "synth/synthesis_options.h"

namespace vt {

/// Control values of a live voice at one instant: source, lungs and tract.
struct VoiceControls {
  float Ag0_cm2 = 0.03f;    ///< glottal baseline (rest) area, cm², 0..5
  float AgP_cm2 = 0.18f;    ///< glottal pulse amplitude, cm², 0..5
  float F0_Hz = 120.0f;     ///< fundamental frequency, Hz, 0 (no new pulse) .. smpfrq/4
  float Psub_cmH2O = 8.0f;  ///< lung (subglottal) pressure, cm H2O, 0..100
  std::vector<area_function>
      tract;  ///< nvt sections, glottis first: area cm² 0..100, length cm (0, 10]
  /// Frication source: junctions from the constriction outlet to the noise
  /// source, 0..nvt; a negative value keeps the current position.
  int noiseSourceOffset = 1;
  float velum_cm2 = 0.0f;  ///< velopharyngeal port area, cm², 0..5 (nasal branch only)
};

/// Fixed layout of a live voice: sections, rate, network options and the
/// nasal cavity when the nasal branch is on.
struct StreamSpec {
  int nvt = 17;          ///< vocal-tract sections, 1..40
  float smpfrq = 10000;  ///< output sampling frequency, Hz, 1000..100000
  /// Network switches, glottal pulse model, oversampling (1..10), noise seed;
  /// nasal_tract couples the nasal branch behind section nbp (1..nvt-1).
  /// Psub is the lung pressure until the first controls set it.
  SynthesisOptions options;
  int couplingSections = 3;  ///< velopharyngeal port sections of velum area (nasal only), 1..10
  float couplingLength_cm = 0.5f;  ///< length of each port section, cm (nasal only)
  /// Nasal cavity from the port to the nostrils (area cm², length cm), nasal only.
  std::vector<area_function> nasalTract;
};

/// A synthesiser driven live, block by block: the control values are set
/// between blocks and glide linearly to their new values over the next block,
/// reached at its last sample. Each output sample runs exactly the score
/// path's loop body (glottal period from F0, pulse, smoothed glottal area, one
/// network step towards the sample's area function), so a score replayed one
/// sample per block at its sample values gives the same samples.
class StreamingSynthesizer {
 public:
  /// A voice at rest that starts from `initial` (no glide into the first block).
  /// Check the layout and controls with checkStreamSpec/checkControls first;
  /// invalid ones throw std::invalid_argument.
  StreamingSynthesizer(const StreamSpec& spec, const VoiceControls& initial);
  ~StreamingSynthesizer();
  StreamingSynthesizer(const StreamingSynthesizer&) = delete;
  StreamingSynthesizer& operator=(const StreamingSynthesizer&) = delete;

  /// Sets the values the next block glides to. A refused set (message
  /// returned) changes nothing; empty string = accepted.
  std::string setTargets(const VoiceControls& target);
  /// Renders out.size() radiated-pressure samples (dyn/cm² at 100 cm) while
  /// the controls glide from where the last block left them to the targets.
  void render(std::span<float> out);
  /// Output samples rendered since construction.
  std::uint64_t samplesRendered() const { return j_; }
  /// Last accepted targets.
  const VoiceControls& targets() const { return to_; }
  const StreamSpec& spec() const { return spec_; }
  /// The simulator of this voice (inspection).
  const Simulator& simulator() const { return sim_; }

 private:
  void tick(const VoiceControls& from, float w);

  StreamSpec spec_;
  VoiceControls from_, to_;
  Simulator sim_;
  GlottalDrive glottis_;
  std::vector<area_function> afvt_, afnt_;
  std::uint64_t j_ = 0;
};

/// Why a layout cannot be streamed (empty string = accepted).
std::string checkStreamSpec(const StreamSpec& spec);
/// Why controls cannot drive a voice of this layout (empty string = accepted).
std::string checkControls(const StreamSpec& spec, const VoiceControls& c);

}  // namespace vt
