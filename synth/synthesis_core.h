#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "artic/glottal_area.h"
#include "simulator/simulator.h"
#include "synth/check_arguments.h"

namespace vt {

/// Result of one synthesis call: the radiated-pressure samples at the output
/// rate, the text the host shows (usage lines, "nAcc[..]"), or a rejection.
struct SynthesisOutcome {
  int status = 0;              ///< 0 done, 1 rejected (error holds the message)
  std::string printed;         ///< text for the host's command window
  std::string error;           ///< rejection message
  std::vector<float> samples;  ///< one value per output sample
};

/// What the driver loop did at one output sample; handed to a trace observer.
struct SampleTrace {
  unsigned int j = 0;   ///< output sample index
  float g0 = 0.0f;      ///< glottal baseline area, cm²
  float gp = 0.0f;      ///< glottal pulse amplitude, cm²
  float f0 = 0.0f;      ///< fundamental frequency, Hz
  int period = 0;       ///< period (samples) handed to the pulse model; 0 unless a pulse starts here
  float pulse = 0.0f;   ///< glottal pulse area from the Fant model, cm²
  float Ag = 0.0f;      ///< smoothed glottal area handed to the simulator, cm²
  float s = 0.0f;       ///< output sample (radiated pressure)
};

/// One synthesiser: turns the nine quorvel arguments (glottal baseline, pulse
/// amplitude and F0 break points, area-function key frames, section lengths,
/// output rate, VCV flag) into a pressure waveform, one output sample at a time.
///
/// A session carries across calls what a loaded synthesiser carries: the
/// simulator's configuration, the frication source position, the noise
/// memories and random sequence, the glottal pulse under way and the rates and
/// VCV flag of the last check. The network starts from rest at every call.
/// Sessions share nothing; different sessions may run on different threads.
class QuorvelSession {
 public:
  QuorvelSession() = default;
  QuorvelSession(const QuorvelSession&) = delete;
  QuorvelSession& operator=(const QuorvelSession&) = delete;

  /// Runs SIG = quorvel(args[0..nrhs-1]) with nlhs results requested.
  SynthesisOutcome synthesize(int nlhs, int nrhs, const ArgView* args);

  /// Rates and VCV flag as the last argument check left them.
  const GatewayRates& rates() const { return rates_; }
  /// The simulator whose configuration persists between calls.
  const Simulator& simulator() const { return sim_; }

  /// Calls fn after every output sample with the loop's values (tests, analysis).
  void setTraceObserver(std::function<void(const SampleTrace&)> fn) { trace_ = std::move(fn); }
  /// Treats an output longer than maxSamples as an allocation failure
  /// (0 = no limit). Lets callers cap memory and lets tests reach that path.
  void setOutputLimit(std::size_t maxSamples) { outputLimit_ = maxSamples; }

 private:
  SynthesisOutcome run(int nlhs, int nrhs, const ArgView* args);

  GatewayRates rates_;
  Simulator sim_;
  FantGlottalArea glottis_;
  std::function<void(const SampleTrace&)> trace_;
  std::size_t outputLimit_ = 0;
};

/// Longest output (samples) that keeps a call's buffers, bytesPerSample bytes
/// per sample, within a quarter of the physical memory: beyond that the kernel
/// would sooner kill the process than report an allocation failure (a break
/// point at 1e9 ms and 1000 Hz asks for 1e9 samples). 0 when unknown.
std::size_t outputLimitForMemory(std::size_t bytesPerSample);

}  // namespace vt
