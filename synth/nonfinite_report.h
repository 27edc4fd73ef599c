#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vt {

/// Where a diverged synthesis left non-finite samples (NaN or infinite
/// pressure): how many, and the first of them.
struct NonFiniteReport {
  std::size_t count = 0;  ///< samples that are NaN or infinite
  std::size_t first = 0;  ///< index of the first of them (valid when count > 0)
};

/// Counts the NaN and infinite samples and finds the first.
NonFiniteReport findNonFinite(const std::vector<float>& samples);

/// "N of M samples are not finite numbers (the simulation became unstable);
/// the first is sample i at t ms", for samples at smpfrq Hz.
std::string describeNonFinite(const NonFiniteReport& r, std::size_t total, double smpfrq);

}  // namespace vt
