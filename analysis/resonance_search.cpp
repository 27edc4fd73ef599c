// Resonances and antiresonances of the network: located as peaks (dips) of
// the magnitude on a frequency grid, then refined as complex roots of the
// network function by Newton's method in the companion frequency p.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>

#include "analysis/tract_analysis.h"

namespace vt::analysis {

namespace {

using cplx = std::complex<double>;

constexpr double kGridStepHz = 4.0;  // finer than the narrowest resonance of the tract
constexpr double kGuessBandwidthHz = 60.0;

// Newton's method on an analytic function, derivative by central difference.
std::optional<cplx> newton_root(const std::function<cplx(cplx)>& F, cplx p) {
  for (int it = 0; it < 80; ++it) {
    const double h = 1e-7 * std::abs(p);
    const cplx d = (F(p + h) - F(p - h)) / (2.0 * h);
    const cplx step = F(p) / d;
    if (!std::isfinite(step.real()) || !std::isfinite(step.imag())) return std::nullopt;
    p -= step;
    if (std::abs(step) <= 1e-13 * std::abs(p)) return p;
  }
  return std::nullopt;
}

// Half-power width of the extremum at index i of |values| (peak: above,
// dip: below the mean of the extremum and its neighbourhood), linearly
// interpolated; NaN when a side does not cross.
double half_power_width(const std::vector<double>& mag2, std::size_t i, bool peak) {
  if (!peak) return std::nan("");
  const double half = 0.5 * mag2[i];
  auto cross = [&](int dir) -> std::optional<double> {
    for (long j = static_cast<long>(i) + dir; j >= 0 && j < static_cast<long>(mag2.size());
         j += dir) {
      if (mag2[j] <= half) {
        const double a = mag2[j - dir], b = mag2[j];
        return (static_cast<double>(j - dir) + dir * (a - half) / (a - b)) * kGridStepHz;
      }
    }
    return std::nullopt;
  };
  const auto lo = cross(-1), hi = cross(+1);
  if (!lo || !hi) return std::nan("");
  return *hi - *lo;
}

// Roots of F near the extrema of |G| on the grid below f_max_hz.
std::vector<Resonance> roots_near_extrema(const TractAnalysis& ta,
                                          const std::function<cplx(double)>& G_at,
                                          const std::function<cplx(cplx)>& F, bool peaks,
                                          double f_max_hz,
                                          const std::function<cplx(double, double)>& start,
                                          const std::function<Resonance(cplx)>& to_resonance) {
  const double fs_half = 0.5 * ta.setup().physics.simfrq;
  double top = f_max_hz + 300.0;
  if (ta.setup().mapping == FrequencyMapping::Trapezoidal) top = std::min(top, 0.999 * fs_half);
  const std::size_t n = static_cast<std::size_t>(top / kGridStepHz) + 1;
  std::vector<double> mag2(n, 0.0);
  for (std::size_t i = 1; i < n; ++i) mag2[i] = std::norm(G_at(i * kGridStepHz));
  mag2[0] = peaks ? 0.0 : std::numeric_limits<double>::infinity();

  std::vector<Resonance> found;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const bool extremum = peaks ? (mag2[i] > mag2[i - 1] && mag2[i] >= mag2[i + 1])
                                : (mag2[i] < mag2[i - 1] && mag2[i] <= mag2[i + 1]);
    if (!extremum) continue;
    // Parabolic refinement of the grid extremum (in dB).
    const double a = std::log(mag2[i - 1]), b = std::log(mag2[i]), c = std::log(mag2[i + 1]);
    const double den = a - 2 * b + c;
    const double f0 =
        (static_cast<double>(i) + (den != 0 ? 0.5 * (a - c) / den : 0.0)) * kGridStepHz;
    const double width = half_power_width(mag2, i, peaks);
    Resonance r{f0, width};
    // The root must be the one that makes this extremum: close to it and
    // not much broader than the extremum itself.
    // Starting bandwidths: the extremum's own width, then a few typical ones.
    const double guesses[] = {
        std::isfinite(width) ? std::clamp(width, 5.0, 500.0) : kGuessBandwidthHz, 20.0,
        kGuessBandwidthHz, 150.0};
    for (double guess : guesses) {
      const auto p = newton_root(F, start(f0, guess));
      if (!p) continue;
      const Resonance q = to_resonance(*p);
      if (std::isfinite(q.frequency_hz) && q.bandwidth_hz > 0 &&
          std::abs(q.frequency_hz - f0) <= std::max(20.0, 0.5 * q.bandwidth_hz) &&
          q.bandwidth_hz <= 3.0 * guess + 20.0) {
        r = q;
        break;
      }
    }
    if (r.frequency_hz >= f_max_hz || r.frequency_hz <= 0) continue;
    // A hump that is no located resonance (no root, no half-power width) or
    // one broader than its own frequency (the low-frequency wall and
    // radiation hump) is no formant.
    if (!(r.bandwidth_hz < r.frequency_hz)) continue;
    const bool duplicate = std::any_of(found.begin(), found.end(), [&](const Resonance& o) {
      return std::abs(o.frequency_hz - r.frequency_hz) <= 1e-6 * r.frequency_hz;
    });
    if (!duplicate) found.push_back(r);
  }
  std::sort(found.begin(), found.end(),
            [](const Resonance& x, const Resonance& y) { return x.frequency_hz < y.frequency_hz; });
  return found;
}

}  // namespace

std::complex<double> TractAnalysis::companion_of(double f_hz, double bandwidth_hz) const {
  const double pi = std::numbers::pi;
  const cplx s{-pi * bandwidth_hz, 2 * pi * f_hz};
  if (setup_.mapping == FrequencyMapping::Trapezoidal) {
    const cplx z = std::exp(s * k_.dt_sim);
    return (z - 1.0) / (z + 1.0);
  }
  return s * (0.5 * k_.dt_sim);
}

std::vector<Resonance> TractAnalysis::formants(double f_max_hz) const {
  if (!std::isfinite(f_max_hz) || f_max_hz <= 0)
    throw std::invalid_argument("formant limit must be finite and > 0 Hz (got " +
                                std::to_string(f_max_hz) + ")");
  // Peaks of the transfer function to the radiated flow; its poles are the
  // zeros of the glottal flow that drives a unit radiation.
  return roots_near_extrema(
      *this, [&](double f) { return output_transfer(companion(f), FlowOutput::Total); },
      [&](cplx p) { return glottal_flow(flows(p), p); }, true, f_max_hz,
      [&](double f, double b) { return companion_of(f, b); },
      [&](cplx p) { return resonance_of(p); });
}

std::vector<Resonance> TractAnalysis::antiresonances(double f_max_hz, FlowOutput output) const {
  if (!std::isfinite(f_max_hz) || f_max_hz <= 0)
    throw std::invalid_argument("antiresonance limit must be finite and > 0 Hz (got " +
                                std::to_string(f_max_hz) + ")");
  if (!nasal_) return {};
  return roots_near_extrema(
      *this, [&](double f) { return output_transfer(companion(f), output); },
      [&](cplx p) { return output_flow(flows(p), output); }, false, f_max_hz,
      [&](double f, double b) { return companion_of(f, b); },
      [&](cplx p) { return resonance_of(p); });
}

}  // namespace vt::analysis
