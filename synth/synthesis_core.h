#pragma once

#include <cstddef>
#include <functional>

#include "synth/check_arguments.h"
#include "synth/synthesizer.h"

namespace vt {

/// The synthesiser behind the host call SIG = quorvel(nss, TAg0, TAgP, TF0,
/// TAF1, TAF2, dx, fs, VCV): checks the nine arguments, turns them into a
/// typed request and hands it to one Synthesizer.
///
/// A session carries across calls what a loaded quorvel carries: the rates and
/// VCV flag of the last argument check (a refused call keeps what its check
/// set) and the synthesiser's state (configuration, frication source position,
/// noise memories and random sequence, glottal pulse under way).
class QuorvelSession {
 public:
  QuorvelSession() = default;
  QuorvelSession(const QuorvelSession&) = delete;
  QuorvelSession& operator=(const QuorvelSession&) = delete;

  /// Runs SIG = quorvel(args[0..nrhs-1]) with nlhs results requested.
  SynthesisOutcome synthesize(int nlhs, int nrhs, const ArgView* args);

  /// Rates and VCV flag as the last argument check left them.
  const GatewayRates& rates() const { return rates_; }
  /// The synthesiser the accepted calls run on.
  Synthesizer& synthesizer() { return synth_; }
  /// The simulator whose configuration persists between calls.
  const Simulator& simulator() const { return synth_.simulator(); }

  /// Calls fn after every output sample with the loop's values (tests, analysis).
  void setTraceObserver(std::function<void(const SampleTrace&)> fn) {
    synth_.setTraceObserver(std::move(fn));
  }
  /// Treats an output longer than maxSamples as an allocation failure (0 = no limit).
  void setOutputLimit(std::size_t maxSamples) { synth_.setOutputLimit(maxSamples); }
  /// Polls fn during a synthesis; true stops it (Ctrl-C in the host).
  void setInterruptCheck(std::function<bool()> fn) { synth_.setInterruptCheck(std::move(fn)); }

 private:
  GatewayRates rates_;
  Synthesizer synth_;
};

}  // namespace vt
