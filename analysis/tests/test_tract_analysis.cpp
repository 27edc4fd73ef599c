// The frequency-domain model on its own: closed-form resonances of a uniform
// tube, the frequency mapping, the glottal load, the nasal side branch, and
// the refusal of unusable input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "analysis/tract_analysis.h"

namespace vt::analysis {
namespace {

const std::vector<area_function> kTube(17, {3.0f, 1.0f});  // 17 × 1 cm × 3 cm²

// Resonances of the uniform tube closed at the glottis (volume-velocity
// source) and loaded at the lips by the radiation inertance, rigid walls.
//
// The radiation load is a conductance parallel to an inertance whose
// companion admittance is Srad·sqrt(A) = 3π·sqrt(π)·(dt/2)/(8ρ)·sqrt(A),
// i.e. an acoustic mass L_r = 8ρ/(3π·sqrt(π·A)). A tube of length ΔL has
// the mass ρ·ΔL/A, so the load is the end correction ΔL = A·L_r/ρ = 8a/(3π)
// with a = sqrt(A/π), the piston-in-a-baffle value (0.829 cm for 3 cm²).
//
// Continuous tube: the source sees an infinite impedance where
// k·(ℓ + ΔL) = (n − ½)π, k = 2πf/c: F_n = (2n − 1)·c / (4(ℓ + ΔL)).
//
// The network is N lumped T-sections of length dx (half the inertance
// ρ·dx/A on either side of the compliance A·dx/(ρc²)). Between mid-series
// points such a ladder is a line of phase γ per section with
// sin(γ/2) = ω·dx/(2c) and image impedance Z_I = (ρc/A)·cos(γ/2). A line of
// phase θ = N·γ loaded by Z_L = jωL_r has the input impedance
// Z_I·(Z_L + jZ_I·tanθ)/(Z_I + jZ_L·tanθ), infinite where
// tanθ = Z_I/(ωL_r):  N·γ + atan(ωL_r/Z_I) = (n − ½)π. For dx → 0, γ → k·dx,
// Z_I → ρc/A and atan(ωL_r/Z_I) → k·ΔL: the quarter-wave law above. The
// remaining losses (viscous, radiation conductance) move the resonances of
// this tube by up to 0.3 % (F4): the conductance parallel to L_r shortens
// the end correction as the frequency rises.
double lumped_resonance(int n, double A, double dx, int sections) {
  const double rho = 0.00114f, c = 35000.0f, pi = std::numbers::pi;
  const double Lr = 8 * rho / (3 * pi * std::sqrt(pi * A));
  auto phase = [&](double f) {
    const double w = 2 * pi * f, g = 2 * std::asin(w * dx / (2 * c));
    return sections * g + std::atan(w * Lr / (rho * c / A * std::cos(g / 2))) - (n - 0.5) * pi;
  };
  double lo = 1, hi = 0.999 * c / (pi * dx);  // below the ladder's cut-off
  for (int it = 0; it < 200; ++it) {
    const double mid = 0.5 * (lo + hi);
    (phase(mid) < 0 ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

TEST(TractAnalysis, UniformTubeAgainstClosedFormQuarterWaveResonances) {
  AnalysisSetup rigid;
  rigid.physics.wall = 0;
  const auto F = TractAnalysis(kTube, rigid).formants(4000);
  ASSERT_EQ(F.size(), 4u);
  const double A = 3.0, dL = 8 * std::sqrt(A / std::numbers::pi) / (3 * std::numbers::pi);
  for (int n = 1; n <= 4; ++n) {
    const double lumped = lumped_resonance(n, A, 1.0, 17);
    const double quarter_wave = (2 * n - 1) * 35000.0 / (4 * (17.0 + dL));
    EXPECT_NEAR(F[n - 1].frequency_hz, lumped, 0.004 * lumped) << "F" << n;
    // Lumping lowers F_n by about (k·dx)²/24: 1.1 % at F4 with 1 cm sections.
    EXPECT_NEAR(F[n - 1].frequency_hz, quarter_wave, 0.012 * quarter_wave) << "F" << n;
    EXPECT_GT(F[n - 1].bandwidth_hz, 0.0);
  }
  EXPECT_NEAR(F[0].frequency_hz, 490.8, 0.5);

  // Yielding walls: the wall mass m = 1.5 g/cm² over the perimeter
  // 2·sqrt(πA) forms with the air's inertance the closed-tract resonance
  // f_w = (c/2π)·sqrt(ρ·2·sqrt(πA)/(A·m)) ≈ 219 Hz, and F1² ≈ F1,rigid² + f_w².
  const auto Fw = TractAnalysis(kTube).formants(4000);
  const double fw = 35000.0 / (2 * std::numbers::pi) *
                    std::sqrt(0.00114 * 2 * std::sqrt(std::numbers::pi * A) / (A * 1.5));
  EXPECT_NEAR(Fw[0].frequency_hz, std::hypot(F[0].frequency_hz, fw), 0.01 * Fw[0].frequency_hz);
  EXPECT_GT(Fw[0].bandwidth_hz, 5 * F[0].bandwidth_hz);  // the walls dominate the F1 losses
}

TEST(TractAnalysis, TrapezoidalMappingWarpsAndTheGlottalLoadDamps) {
  AnalysisSetup warped;
  warped.mapping = FrequencyMapping::Trapezoidal;
  const auto Fa = TractAnalysis(kTube).formants(4000);
  const auto Ft = TractAnalysis(kTube, warped).formants(4000);
  ASSERT_EQ(Fa.size(), Ft.size());
  // The same companion pole seen through z = (1+p)/(1-p) instead of s = 2p/dt.
  const double fs = 30000;
  for (std::size_t k = 0; k < Fa.size(); ++k)
    EXPECT_NEAR(Ft[k].frequency_hz,
                fs / std::numbers::pi * std::atan(std::numbers::pi * Fa[k].frequency_hz / fs),
                0.002 * Ft[k].frequency_hz);

  AnalysisSetup open;
  open.glottis = GlottisMode::Loaded;
  open.glottal_area_cm2 = 0.05f;
  const TractAnalysis loaded(kTube, open);
  const auto Fo = loaded.formants(4000);
  ASSERT_EQ(Fo.size(), Fa.size());
  EXPECT_GT(Fo[0].bandwidth_hz, Fa[0].bandwidth_hz + 10);         // glottal losses
  EXPECT_GT(Fo[0].frequency_hz, Fa[0].frequency_hz);              // the open glottis raises F1
  EXPECT_NEAR(loaded.stationary_flow_cm3_s(), 104.2, 0.1);        // cm³/s at 8 cm H2O
  EXPECT_LT(TractAnalysis(kTube).stationary_flow_cm3_s(), 10.0);  // closed: floor area 0.001 cm²
}

TEST(TractAnalysis, NasalSideBranch) {
  std::vector<area_function> velum_closed(3, {0.0f, 0.6f});
  velum_closed.resize(16, {1.5f, 0.7f});
  NasalBranch closed{9, 3, velum_closed, false};
  const TractAnalysis oral(kTube), sealed(kTube, {}, closed);
  const auto Fo = oral.formants(4000), Fs = sealed.formants(4000);
  ASSERT_EQ(Fs.size(), Fo.size());
  for (std::size_t k = 0; k < Fo.size(); ++k)
    EXPECT_NEAR(Fs[k].frequency_hz, Fo[k].frequency_hz, 0.005 * Fo[k].frequency_hz);
  EXPECT_LT(std::abs(sealed.at(500).nostrils), 5e-3 * std::abs(sealed.at(500).lips));
  EXPECT_TRUE(oral.antiresonances(4000).empty());

  NasalBranch open = closed;
  for (int i = 0; i < 3; ++i) open.sections[i].A = 1.0f;
  open.sinus = true;
  const TractAnalysis nasalised(kTube, {}, open);
  const auto Z = nasalised.antiresonances(4000);
  ASSERT_FALSE(Z.empty());
  for (const Resonance& z : Z) {  // a dip of the radiated flow at each zero
    const double at =
        std::abs(nasalised.at(z.frequency_hz).lips + nasalised.at(z.frequency_hz).nostrils);
    EXPECT_LT(at, std::abs(nasalised.at(z.frequency_hz + 40).lips +
                           nasalised.at(z.frequency_hz + 40).nostrils));
  }
  EXPECT_GT(nasalised.formants(4000).size(), Fo.size());  // the branch adds resonances
  EXPECT_GT(std::abs(nasalised.at(300).nostrils), 0.1 * std::abs(nasalised.at(300).lips));
  // Lips closed (a nasal murmur): the zeros of the nostril flow are the oral
  // cavity's resonances, so they exist with the velum open.
  auto lips_shut = kTube;
  lips_shut.back().A = 0.0f;
  EXPECT_FALSE(
      TractAnalysis(lips_shut, {}, open).antiresonances(3000, FlowOutput::Nostrils).empty());
}

TEST(TractAnalysis, RefusesUnusableInput) {
  auto refused = [](auto&& make) { EXPECT_THROW(make(), std::invalid_argument); };
  const float nan = std::numeric_limits<float>::quiet_NaN(),
              inf = std::numeric_limits<float>::infinity();
  refused([] { TractAnalysis(std::vector<area_function>{}); });
  refused([&] { TractAnalysis(std::vector<area_function>{{1, 1}, {nan, 1}}); });
  refused([&] { TractAnalysis(std::vector<area_function>{{inf, 1}}); });
  refused([&] { TractAnalysis(std::vector<area_function>{{-1, 1}}); });
  refused([&] { TractAnalysis(std::vector<area_function>{{1, -0.5f}}); });
  refused([&] { TractAnalysis(std::vector<area_function>{{1, inf}}); });
  AnalysisSetup bad_rate;
  bad_rate.physics.simfrq = 0;
  refused([&] { TractAnalysis(kTube, bad_rate); });
  AnalysisSetup bad_glottis;
  bad_glottis.glottal_area_cm2 = nan;
  refused([&] { TractAnalysis(kTube, bad_glottis); });
  std::vector<area_function> nose(5, {1, 1});
  refused([&] { TractAnalysis(kTube, {}, NasalBranch{0, 3, nose, false}); });
  refused([&] { TractAnalysis(kTube, {}, NasalBranch{17, 3, nose, false}); });
  refused([&] { TractAnalysis(kTube, {}, NasalBranch{9, 5, nose, false}); });
  refused([&] { TractAnalysis(kTube, {}, NasalBranch{9, 3, {}, false}); });
  refused([&] {
    TractAnalysis(kTube, {}, NasalBranch{9, 3, std::vector<area_function>(4, {1, 1}), true});
  });

  const TractAnalysis t(kTube);
  const std::vector<double> decreasing{100, 200, 150}, repeated{100, 100}, with_nan{100, nan};
  refused([&] { t.sweep(decreasing); });
  refused([&] { t.sweep(repeated); });
  refused([&] { t.sweep(with_nan); });
  refused([&] { t.at(-1); });
  refused([&] { t.formants(0); });
  refused([&] { t.formants(nan); });
  AnalysisSetup warped;
  warped.mapping = FrequencyMapping::Trapezoidal;
  refused([&] { TractAnalysis(kTube, warped).at(15000); });  // the warp ends at half the rate
  EXPECT_EQ(t.sweep(std::vector<double>{0, 100, 200}).size(), 3u);
  EXPECT_TRUE(std::isfinite(std::abs(t.at(0).lips)));
}

}  // namespace
}  // namespace vt::analysis
