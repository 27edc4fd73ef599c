#pragma once

#include <memory>

#include "simulator/simulator.h"
#include "synth/synthesis_request.h"
#include "synth/synthesis_result.h"

namespace vt {

class Synthesizer;

/// One synthesis call taken apart at its network steps: per output sample,
/// prepare() sets the simulator's targets (control tracks, glottal pulse,
/// area function), the caller advances the simulator by one output sample,
/// and take() stores the radiated pressure it gave (with the output limit,
/// trace and interrupt checks). Driven to its end it gives exactly what
/// Synthesizer::synthesize gives for the request; several runs on different
/// synthesisers can so have their networks advanced together.
///
/// A run uses its synthesiser's simulator, glottal pulse and observers; the
/// synthesiser must outlive it and run nothing else meanwhile. Destroying an
/// unfinished run releases the call's arrays and ends the network's run.
class SynthesisRun {
 public:
  /// Checks the request and readies the call on synth; a request that the
  /// checks refuse (or that runs out of memory) ends the run at once.
  SynthesisRun(Synthesizer& synth, const SynthesisRequest& request);
  ~SynthesisRun();
  SynthesisRun(const SynthesisRun&) = delete;
  SynthesisRun& operator=(const SynthesisRun&) = delete;

  /// True once the result is known (every sample taken, refused or failed).
  bool finished() const { return state_ == nullptr; }
  /// Sets the simulator's targets for the next output sample: glottal area,
  /// area function, velum port, lung pressure; starts the network at the first.
  void prepare();
  /// The simulator to advance by one output sample between prepare() and take().
  Simulator& simulator() { return sim_; }
  /// Stores the output sample s (dyn/cm²) that the advanced simulator gave;
  /// ends the run after the last sample, at the output limit or an interrupt.
  void take(float s);
  /// Advances the simulator alone by one output sample and returns the
  /// sample to take. Without a trace observer the sample's output summation
  /// is completed beside the next sample's first step: a placeholder is
  /// returned and the sample taken before gets its value here; the call's
  /// last sample is completed at once. The samples are those of vtt_sim.
  float advanceAlone();
  /// Gives the sample taken last its value before the simulator is advanced
  /// other than by advanceAlone (in lockstep with others).
  void settle();
  /// Ends the run as a call that ran out of memory (the network step threw
  /// std::bad_alloc), releasing everything.
  void failOutOfMemory();
  /// The call's result, once finished (moved out: call once).
  SynthesisResult takeResult() { return std::move(result_); }

 private:
  struct State;
  void start(const SynthesisRequest& request);
  void finish(SynthesisResult result);

  Synthesizer& synth_;
  Simulator& sim_;
  std::unique_ptr<State> state_;
  bool placeholder_ = false;  ///< the sample taken last awaits its value
  SynthesisResult result_;
};

}  // namespace vt
