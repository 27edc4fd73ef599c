#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vt {

/// Result of one synthesis: the radiated-pressure samples at the output rate,
/// the text the host shows (usage lines, "nAcc[..]"), or a refusal.
struct SynthesisResult {
  int status = 0;              ///< 0 done, 1 refused or failed (error holds the message)
  std::string printed;         ///< text for the host's command window
  std::string error;           ///< refusal or failure message
  std::vector<float> samples;  ///< radiated pressure, dyn/cm², one value per output sample
  std::optional<int> nAcc;     ///< VCV: narrowest section of the frication frames
  /// Internal signals at the output rate, by name (only those requested).
  std::map<std::string, std::vector<float>> signals;
};

/// The former name of the result, kept for callers of the argument front end.
using SynthesisOutcome = SynthesisResult;

}  // namespace vt
