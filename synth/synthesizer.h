#pragma once

#include <cstddef>
#include <functional>

#include "simulator/simulator.h"
#include "synth/glottal_drive.h"
#include "synth/synthesis_request.h"
#include "synth/synthesis_result.h"

namespace vt {

/// What the driver loop did at one output sample; handed to a trace observer.
struct SampleTrace {
  unsigned int j = 0;  ///< output sample index
  float g0 = 0.0f;     ///< glottal baseline area, cm²
  float gp = 0.0f;     ///< glottal pulse amplitude, cm²
  float f0 = 0.0f;     ///< fundamental frequency, Hz
  int period = 0;      ///< period (samples) handed to the pulse model; 0 unless a pulse starts here
  float pulse = 0.0f;  ///< glottal pulse area from the pulse model, cm²
  float Ag = 0.0f;     ///< smoothed glottal area handed to the simulator, cm²
  float s = 0.0f;      ///< output sample (radiated pressure, dyn/cm²)
};

/// An articulatory synthesiser: turns a request (glottal and F0 tracks,
/// area-function key frames, rate, options) into the radiated pressure at the
/// output rate, one sample at a time: control tracks, glottal pulse, smoothed
/// glottal area, interpolated area function, one network step per sample.
///
/// It carries across calls what a loaded synthesiser carries: the simulator's
/// configuration, the frication source position, the noise filter memories and
/// random sequence, and the glottal pulse under way. The network starts from
/// rest at every call. Synthesisers share nothing; each may run on its own thread.
class Synthesizer {
 public:
  Synthesizer() = default;
  Synthesizer(const Synthesizer&) = delete;
  Synthesizer& operator=(const Synthesizer&) = delete;

  /// Synthesises the request; a request that the checks refuse gives status 1
  /// and the message, with nothing changed but what the refusal names.
  SynthesisResult synthesize(const SynthesisRequest& request);

  /// The simulator whose configuration and noise state persist between calls.
  const Simulator& simulator() const { return sim_; }
  /// Calls fn after every output sample with the loop's values (tests, analysis).
  void setTraceObserver(std::function<void(const SampleTrace&)> fn) { trace_ = std::move(fn); }
  /// Treats an output longer than maxSamples as an allocation failure
  /// (0 = no limit). Lets callers cap memory and lets tests reach that path.
  void setOutputLimit(std::size_t maxSamples) { outputLimit_ = maxSamples; }
  /// Polls fn every few thousand output samples; when it returns true the
  /// call stops, releases everything and reports kInterruptedError (Ctrl-C).
  void setInterruptCheck(std::function<bool()> fn) { interrupted_ = std::move(fn); }

 private:
  friend class SynthesisRun;  // one call, sample by sample, on this synthesiser's state

  Simulator sim_;
  GlottalDrive glottis_;
  std::function<void(const SampleTrace&)> trace_;
  std::size_t outputLimit_ = 0;
  std::function<bool()> interrupted_;
};

/// Message of a synthesis stopped by the interrupt check.
inline constexpr const char* kInterruptedError = "interrupted (Ctrl-C); nothing was returned";

/// Number of output samples a request gives: one more than the later of the
/// samples of the last break points of TAg0 and TAgP (a track without break
/// points ends at sample 0). Known before any work, for requests checkRequest accepts.
std::size_t outputLength(const SynthesisRequest& request);

/// Longest output (samples) that keeps a call's buffers, bytesPerSample bytes
/// per sample, within a quarter of the physical memory: beyond that the kernel
/// would sooner kill the process than report an allocation failure (a break
/// point at 1e9 ms and 1000 Hz asks for 1e9 samples). 0 when unknown.
std::size_t outputLimitForMemory(std::size_t bytesPerSample);

}  // namespace vt
