// The time step: rest state, noise placement, run-to-run state, independence
// of instances, every switch combination, and the physical behaviour of a
// uniform tube.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <thread>
#include <vector>

#include "simulator/simulator.h"
#include "simulator/tests/sim_drive.h"

namespace vt {
namespace {

using testing::gateway_config;
using testing::run_drive;

// One run of `n` samples with a held glottal area and area function.
std::vector<float> run_held(Simulator& s, const std::vector<area_function>& af, float Ag, int n) {
  s.afvt = af.data();
  s.Ag = Ag;
  s.vtt_ini();
  std::vector<float> y(n);
  for (float& v : y) v = s.vtt_sim();
  s.vtt_term();
  return y;
}

const std::vector<area_function> kUniform(17, {3.0f, 1.0f});  // 17 cm of 3 cm²

TEST(SimulatorStep, HeldGeometryWithoutNoiseSettlesToSilence) {
  Simulator s;
  gateway_config(s.cfg, 17);
  s.cfg.noise_source = 0;
  const auto y = run_held(s, kUniform, 0.15f, 8000);
  EXPECT_GT(*std::max_element(y.begin(), y.begin() + 100), 1e-3f);  // the onset is heard
  for (int j = 7900; j < 8000; ++j) EXPECT_LT(std::fabs(y[j]), 1e-5f) << j;

  s.cfg.smpfrq = 40000.0f;  // below one step per sample: no step runs
  const auto none = run_held(s, kUniform, 0.15f, 5);
  EXPECT_EQ(s.constants().deci, 0);
  EXPECT_EQ(none, std::vector<float>(5, 0.0f));
}

TEST(SimulatorStep, FricationSourcePlacementStaysInsideTheTract) {
  struct Case { int c, loc, m; };
  const Case cases[] = {
      {5, 1, 7},     // one junction downstream of the outlet junction 6
      {5, 0, 6},     // at the outlet junction
      {14, 2, 17},   // the lip junction itself is allowed
      {14, 3, 15},   // beyond the lips: back to the outlet junction
      {5, -3, 3},    // upstream, still inside
      {5, -30, 6},   // below the first junction: back to the outlet junction
      {5, 2147483647, 6},  // no overflow
  };
  for (const Case& k : cases) {
    Simulator s;
    gateway_config(s.cfg, 17);
    s.cfg.noiseSourceLoc = k.loc;
    auto af = kUniform;
    af[k.c].A = 0.1f;
    run_held(s, af, 0.1f, 3);
    EXPECT_EQ(s.frication_junction(), k.m) << "constriction " << k.c << " loc " << k.loc;
  }
}

TEST(SimulatorStep, SecondRunStartsFromRestButContinuesTheNoise) {
  Simulator quiet, b, c;
  gateway_config(quiet.cfg, 17);
  quiet.cfg.noise_source = 0;
  quiet.cfg.wall_radiation = 1;  // the wall-flow memory starts from rest too
  const auto q1 = run_drive(quiet, 17, 400);
  EXPECT_EQ(run_drive(quiet, 17, 400), q1);  // network, flows and output filter from rest
  quiet.cfg.wall_radiation = 0;
  EXPECT_NE(run_drive(quiet, 17, 400), q1);  // the wall flow does reach the output

  for (Simulator* s : {&b, &c}) {
    gateway_config(s->cfg, 17);
    s->cfg.noiseAmp = 1e-4f;  // make the noise audible
  }
  const auto noisy1 = run_drive(b, 17, 400);
  const auto noisy2 = run_drive(b, 17, 400);
  EXPECT_EQ(run_drive(c, 17, 400), noisy1);  // instances are deterministic
  EXPECT_NE(noisy1, noisy2);                 // the second run draws further noise
  EXPECT_EQ(run_drive(c, 17, 400), noisy2);  // and differs in nothing else
}

TEST(SimulatorStep, InstancesOnTwoThreadsMatchEachAlone) {
  auto job = [](int nvt) {
    Simulator s;
    gateway_config(s.cfg, nvt);
    s.cfg.noiseAmp = 1e-5f;
    auto y = run_drive(s, nvt, 1500);
    const auto y2 = run_drive(s, nvt, 500);
    y.insert(y.end(), y2.begin(), y2.end());
    return y;
  };
  const auto alone17 = job(17), alone40 = job(40);
  std::vector<float> t17, t40;
  std::thread a([&] { t17 = job(17); });
  std::thread b([&] { t40 = job(40); });
  a.join();
  b.join();
  EXPECT_EQ(t17, alone17);
  EXPECT_EQ(t40, alone40);
}

// The constriction keeps its index while the whole tract is wider than
// 100 cm²; a shorter tract after a longer one must not inherit an index
// beyond its last section.
TEST(SimulatorStep, ShorterTractAfterLongerRunKeepsTheConstrictionInside) {
  Simulator s;
  gateway_config(s.cfg, 40);
  std::vector<area_function> long_tract(40, {3.0f, 0.5f});
  long_tract[35].A = 0.2f;
  run_held(s, long_tract, 0.1f, 5);
  EXPECT_EQ(s.Ac().index, 35);
  s.cfg.nvt = 17;
  const auto y = run_held(s, std::vector<area_function>(17, {150.0f, 1.0f}), 0.1f, 50);
  EXPECT_LT(s.Ac().index, 17);
  EXPECT_EQ(s.Ac().A, 100.0f);
  for (float v : y) EXPECT_TRUE(std::isfinite(v));
}

// Moving sections inject their volume change (times smpfrq) as shunt flow
// sources; the increments bring the geometry to the new targets.
TEST(SimulatorStep, DynamicTermSourcesFollowTheVolumeChange) {
  Simulator s;
  gateway_config(s.cfg, 4);
  s.cfg.noise_source = 0;
  s.cfg.dynamic_term = 1;
  std::vector<area_function> af(4, {1.0f, 2.0f});
  s.afvt = af.data();
  s.Ag = 0.1f;
  s.vtt_ini();
  af[2].A = 1.6f;
  s.Ag = 0.4f;
  s.vtt_sim();
  EXPECT_NEAR(s.af_sections()[2].A, 1.6f, 1e-6f);
  const float dA = (1.6f - 1.0f) / 3.0f, dAg = (0.4f - 0.1f) / 3.0f;
  EXPECT_EQ(s.ac_elements()[3].srcU, double{10000.0f * (dA * 2.0f + (1.0f + dA) * 0.0f)});
  EXPECT_EQ(s.ac_elements()[2].srcU, 0.0);
  EXPECT_EQ(s.acglt_elements()[1].srcU, double{10000.0f * dAg * 0.3f});
}

// Every combination of the switches that change the network's structure or
// its sources runs finite and bounded, with a moving tract and an open velum.
TEST(SimulatorStep, EverySwitchCombinationRunsStable) {
  std::vector<area_function> afnt;
  for (int mask = 0; mask < 128; ++mask) {
    Simulator s;
    gateway_config(s.cfg, 17);
    testing::attach_nasal(s, afnt, 0.4f);
    s.cfg.noiseAmp = 1e-6f;
    s.cfg.subGLTsystem = mask & 1;
    s.cfg.nasal_tract = s.cfg.sinus_cavity = (mask >> 1) & 1;
    s.cfg.dynamic_term = (mask >> 2) & 1;
    s.cfg.wall_radiation = (mask >> 3) & 1;
    s.cfg.rad_boundary = (mask >> 4) & 1 ? 0 : 1;
    s.cfg.wall = (mask >> 5) & 1 ? 0 : 1;
    s.cfg.vocal_tract = (mask >> 6) & 1 ? 0 : 1;
    const auto y = run_drive(s, 17, 400);
    float peak = 0.0f;
    for (float v : y) {
      ASSERT_TRUE(std::isfinite(v)) << "mask " << mask;
      peak = std::max(peak, std::fabs(v));
    }
    EXPECT_LT(peak, 50.0f) << "mask " << mask;
  }
}

// With the velum open the nasal branch radiates; nearly closed, the output
// is close to that without the nasal branch.
TEST(SimulatorStep, NasalBranchRadiatesThroughTheNostrils) {
  auto run = [](int nasal, float velum) {
    std::vector<area_function> afnt;
    Simulator s;
    gateway_config(s.cfg, 17);
    testing::attach_nasal(s, afnt, velum);
    s.cfg.noise_source = 0;
    s.cfg.nasal_tract = nasal;
    return run_drive(s, 17, 600);
  };
  const auto oral = run(0, 0.0f), closed = run(1, 0.0f), open = run(1, 1.0f);
  double d_closed = 0, d_open = 0, e = 0;
  for (int j = 0; j < 600; ++j) {
    d_closed += (closed[j] - oral[j]) * (closed[j] - oral[j]);
    d_open += (open[j] - oral[j]) * (open[j] - oral[j]);
    e += oral[j] * oral[j];
  }
  EXPECT_LT(d_closed, 1e-4 * e);
  EXPECT_GT(d_open, 1e-2 * e);
}

// A uniform tube of 17 cm closed at the glottis, driven by a train of short
// glottal puffs (20 Hz, so each response has died away before the next),
// resonates near the odd quarter-wave frequencies c/4L, 3c/4L, 5c/4L.
TEST(SimulatorStep, UniformTubeResonatesAtQuarterWaveFrequencies) {
  Simulator s;
  gateway_config(s.cfg, 17);
  s.cfg.noise_source = 0;
  s.afvt = kUniform.data();
  s.Ag = 0.0f;
  s.vtt_ini();
  std::vector<float> y(8000);
  for (int j = 0; j < 8000; ++j) {
    const int ph = j % 500;  // 4 ms puff, then the glottis stays closed
    s.Ag = ph < 40 ? static_cast<float>(0.05 - 0.05 * std::cos(2 * M_PI * ph / 40.0)) : 0.0f;
    y[j] = s.vtt_sim();
  }
  auto peak = [&](double lo, double hi) {  // strongest spectral line on a 20 Hz grid
    double best = lo, m = -1;
    for (double f = lo; f <= hi; f += 20.0) {
      std::complex<double> acc = 0;
      for (int j = 0; j < 8000; ++j) acc += double{y[j]} * std::polar(1.0, -2 * M_PI * f * j / 10000.0);
      if (std::abs(acc) > m) m = std::abs(acc), best = f;
    }
    return best;
  };
  const double F1 = peak(300, 900), F2 = peak(1200, 1900), F3 = peak(2200, 2950);
  // The lip radiation inertance lengthens the tube by the piston end
  // correction 8r/(3pi) (0.83 cm for 3 cm²): 17.83 cm acoustically.
  const double Leff = 17.0 + 8.0 * std::sqrt(3.0 / M_PI) / (3.0 * M_PI);
  const double f1 = 35000.0 / (4 * Leff);
  EXPECT_GT(F1, f1) << F1;                           // the yielding walls raise F1
  EXPECT_NEAR(F2, 3 * f1, 3 * f1 * 0.02) << F2;
  EXPECT_NEAR(F3, 5 * f1, 5 * f1 * 0.04) << F3;      // lumped sections lower F3 a little
  EXPECT_NEAR(F1, 515.0, 515.0 * 0.10);              // bare 17 cm tube: 515, 1544, 2574 Hz
  EXPECT_NEAR(F2, 1544.0, 1544.0 * 0.06);
  EXPECT_NEAR(F3, 2574.0, 2574.0 * 0.08);
}

}  // namespace
}  // namespace vt
