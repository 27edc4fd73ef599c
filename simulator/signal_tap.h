#pragma once

#include <array>
#include <vector>

#include "simulator/decimator.h"

namespace vt {

class Simulator;

/// Internal quantities of the network that a SignalTap follows.
enum class NetworkSignal : int {
  GlottalFlow = 0,             ///< volume velocity out of the glottis, cm³/s
  GlottalArea,                 ///< glottal area, cm²
  LipFlow,                     ///< volume velocity out of the lips, cm³/s
  NostrilFlow,                 ///< volume velocity out of the nostrils, cm³/s (nasal branch)
  MouthPressure,               ///< part of the radiated pressure from the lips, dyn/cm²
  NosePressure,                ///< part of the radiated pressure from the nostrils, dyn/cm²
  SubglottalPressure,          ///< pressure below the glottis, dyn/cm²
  PressureBehindConstriction,  ///< pressure in the section upstream of the narrowest one, dyn/cm²
  Count
};

/// Follows internal signals of a simulator at the output rate: each signal is
/// sampled on every simulation step and passed through its own copy of the
/// output decimation filter, so that it is band-limited and delayed exactly
/// as the radiated pressure (the filter's DC gain is 1.001).
class SignalTap {
 public:
  /// Follows the signals marked in `wanted`.
  explicit SignalTap(const std::array<bool, static_cast<int>(NetworkSignal::Count)>& wanted);

  /// Starts a run: filters for `deci` simulation steps per output sample, from
  /// rest; the radiated-flow memories start at 0, as the simulator's do.
  void begin(int deci);
  /// Takes this simulation step's values from the simulator (after its step);
  /// on the step that produces an output sample (flag 1) appends one sample
  /// to every followed signal.
  void record(const Simulator& sim, int flag);
  /// Output-rate samples of signal s so far (empty when not followed).
  const std::vector<float>& samples(NetworkSignal s) const { return out_[static_cast<int>(s)]; }

 private:
  static constexpr int kCount = static_cast<int>(NetworkSignal::Count);
  std::array<bool, kCount> wanted_{};
  std::array<Decimator, kCount> decim_{};
  std::array<std::vector<float>, kCount> out_{};
  double prevLip_ = 0.0, prevNos_ = 0.0;  // flows of the previous step, cm³/s
};

}  // namespace vt
