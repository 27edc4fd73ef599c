#pragma once

#include "simulator/area_function.h"
#include "simulator/sim_config.h"

namespace vt {

/// The time-domain vocal-tract simulator: glottis, vocal tract with yielding
/// walls and lip radiation, optionally trachea, nasal branch with paranasal
/// sinus and nostril radiation, solved with the trapezoidal rule at `simfrq`
/// and decimated to `smpfrq`.
///
/// One object is one independent simulator. Its configuration, noise-source
/// position, noise filter memories and random sequence persist from one run
/// (vtt_ini .. vtt_term) to the next; the network itself starts from rest at
/// every vtt_ini. Objects share nothing and may run on different threads.
class Simulator {
 public:
  SimConfig cfg;                         ///< configuration values and switches
  float Ag = 0.0f;                       ///< glottal area target of the current output sample, cm²
  const area_function* afvt = nullptr;   ///< vocal-tract target, cfg.nvt sections
  const area_function* afnt = nullptr;   ///< nasal target (coupling + nasal tract), nasal_tract only
  int nnt = 0;                           ///< sections in afnt

  Simulator();
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  /// Builds the network for one run from cfg, Ag and afvt (and afnt): derived
  /// constants, arrays, cleared histories, first geometry, noise and decimator.
  /// Returns the decimation filter's delay in output samples.
  int vtt_ini();
  /// Advances the network by one output sample towards the current Ag/afvt
  /// targets and returns the radiated pressure sample.
  float vtt_sim();
  /// Releases the arrays of the run.
  void vtt_term();

  // The implementation adds its state below (arrays, derived constants,
  // histories, noise generators, decimator, random generator).
};

}  // namespace vt
