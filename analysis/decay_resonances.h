#pragma once

#include <vector>

#include "analysis/tract_analysis.h"

namespace vt::analysis {

/// Resonances of a free decay (a sum of damped exponentials sampled at
/// rate_hz): at every peak of its spectrum below f_max_hz (searched on a
/// 6 Hz grid) the spectrum is fitted locally, in the least-squares sense, by
/// (a + b·w)/(1 - z·w) with w = e^{-jω}; the pole z gives centre frequency
/// and bandwidth. In increasing frequency.
std::vector<Resonance> decayResonances(const std::vector<double>& y, double rate_hz,
                                       double f_max_hz);

}  // namespace vt::analysis
