#include "synth/nonfinite_report.h"

#include <cmath>

#include "synth/format_text.h"

namespace vt {

NonFiniteReport findNonFinite(const std::vector<float>& samples) {
  NonFiniteReport r;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (std::isfinite(samples[i])) continue;
    if (r.count == 0) r.first = i;
    ++r.count;
  }
  return r;
}

std::string describeNonFinite(const NonFiniteReport& r, std::size_t total, double smpfrq) {
  return formatText(
      "%zu of %zu samples are not finite numbers (the simulation became unstable); "
      "the first is sample %zu at %.10g ms",
      r.count, total, r.first, static_cast<double>(r.first) * 1000.0 / smpfrq);
}

}  // namespace vt
