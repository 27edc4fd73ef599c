#include "analysis/decay_resonances.h"

#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace vt::analysis {
namespace {

using cplx = std::complex<double>;

/// Spectrum of y at f_hz (sampled at kRate Hz).
cplx dtft(const std::vector<double>& y, double f_hz, double rate_hz) {
  const cplx w = std::polar(1.0, -2 * std::numbers::pi * f_hz / rate_hz);
  cplx acc = 0.0;  // Horner from the end: sum y[n] w^n
  for (std::size_t n = y.size(); n-- > 0;) acc = acc * w + y[n];
  return acc;
}

}  // namespace

std::vector<Resonance> decayResonances(const std::vector<double>& y, double rate_hz, double f_max) {
  const double step = 6.0;
  std::vector<double> mag;
  for (double f = 0; f <= f_max + 200; f += step) mag.push_back(std::norm(dtft(y, f, rate_hz)));
  std::vector<Resonance> out;
  for (std::size_t i = 2; i + 1 < mag.size(); ++i) {
    if (!(mag[i] > mag[i - 1] && mag[i] >= mag[i + 1])) continue;
    const double fp = i * step;
    // Normal equations of the 3 complex unknowns (a, b, z).
    std::array<std::array<cplx, 4>, 3> M{};
    for (int m = -4; m <= 4; ++m) {
      const double f = fp + 2.5 * m;
      const cplx w = std::polar(1.0, -2 * std::numbers::pi * f / rate_hz), Y = dtft(y, f, rate_hz);
      const cplx row[3] = {1.0, w, w * Y};
      for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) M[r][c] += std::conj(row[r]) * row[c];
        M[r][3] += std::conj(row[r]) * Y;
      }
    }
    for (int p = 0; p < 3; ++p)
      for (int r = p + 1; r < 3; ++r) {
        const cplx q = M[r][p] / M[p][p];
        for (int c = p; c < 4; ++c) M[r][c] -= q * M[p][c];
      }
    std::array<cplx, 3> x{};
    for (int r = 2; r >= 0; --r) {
      cplx s = M[r][3];
      for (int c = r + 1; c < 3; ++c) s -= M[r][c] * x[c];
      x[r] = s / M[r][r];
    }
    const cplx z = x[2];
    out.push_back({std::arg(z) * rate_hz / (2 * std::numbers::pi),
                   -std::log(std::abs(z)) * rate_hz / std::numbers::pi});
  }
  return out;
}

}  // namespace vt::analysis
