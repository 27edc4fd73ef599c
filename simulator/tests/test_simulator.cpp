// Initialisation (seeds, loads, floored sections, rejected networks) and the
// step: noise placement, run-to-run state, instances, a uniform tube.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <complex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "simulator/area_update.h"
#include "simulator/reference_drive.h"
#include "simulator/simulator.h"

namespace vt {
namespace {

using drive::gateway_config;
using drive::run_drive;

const std::vector<area_function> kUniform(17, {3.0f, 1.0f});  // 17 cm of 3 cm²
const std::vector<area_function> kNasal(13, {1.5f, 1.0f});

void attach(Simulator& s) {
  s.afvt = kUniform.data();
  s.afnt = kNasal.data();
  s.nnt = 13;
  s.Ag = 0.1f;
}

TEST(SimulatorInit, SeedsLoadsFlooredFixedSectionsAndRejectedNetworks) {
  Simulator s;
  attach(s);
  drive::gateway_config(s.cfg, 17);
  EXPECT_EQ(s.vtt_ini(), 17);                                 // decimation delay, output samples
  EXPECT_EQ(s.eq_rows()[0].elimSrc, double{980.39f * 8.0f});  // lung pressure, dyn/cm²
  EXPECT_NEAR(s.eq_rows()[0].elimSrc, 7843.12, 1e-3);

  s.cfg.subGLTsystem = s.cfg.nasal_tract = s.cfg.sinus_cavity = 1;
  s.cfg.aftr[19] = {0.0f, 0.0f};  // a closed trachea section is floored, not divided by
  auto nostril_closed = kNasal;   // a closed nostril: positive, finite radiation load
  nostril_closed[12].A = 0.0f;
  s.afnt = nostril_closed.data();
  s.vtt_ini();
  const AirwayNetwork& L = s.network();
  const SimConstants& k = s.constants();
  EXPECT_EQ(s.actr_elements()[20].C, k.Ca * 0.001f * 0.001f);
  EXPECT_EQ(s.eqnt_rows()[L.nnt4()].coef, k.Grad * 0.001f + k.Srad * std::sqrt(double{0.001f}));
  s.cfg.vocal_tract = s.cfg.rad_boundary = 0;  // fixed tract, fixed loads 5 and 5000
  s.vtt_ini();
  EXPECT_EQ(s.eqbu_rows()[L.nbu4()].coef, 5.0);
  EXPECT_EQ(s.eqnt_rows()[L.nnt4()].coef, 5000.0);
  s.cfg.nasal_tract = 0;
  s.vtt_ini();
  EXPECT_EQ(s.eq_rows()[L.n4()].coef, 5.0);
  s.vtt_term();
  EXPECT_THROW(s.vtt_sim(), std::logic_error);

  auto rejected = [](auto&& setup) {
    Simulator s;
    attach(s), setup(s);
    EXPECT_THROW(s.vtt_ini(), std::invalid_argument);
    EXPECT_THROW(s.vtt_sim(), std::logic_error);
  };
  rejected([](Simulator& s) { s.cfg.nvt = 0; });
  rejected([](Simulator& s) { s.cfg.nvt = 1 << 30; });  // row counts would overflow
  rejected([](Simulator& s) { s.afvt = nullptr; });
  rejected([](Simulator& s) { s.cfg.smpfrq = 0.0f; });
  rejected([](Simulator& s) { s.cfg.nglt0 = 2; });
  rejected([](Simulator& s) { s.cfg.subGLTsystem = 1, s.cfg.ntr = 21; });
  rejected([](Simulator& s) { s.cfg.nasal_tract = 1, s.cfg.nbp = 17; });
  rejected([](Simulator& s) { s.cfg.nasal_tract = 1, s.afnt = nullptr; });
  rejected([](Simulator& s) { s.cfg.nasal_tract = 1, s.nnt = 3; });
  rejected([](Simulator& s) { s.cfg.nasal_tract = s.cfg.sinus_cavity = 1, s.cfg.sinus_pos = 14; });
}

// One run of `n` samples with a held glottal area (cm²) and area function.
std::vector<float> run_held(Simulator& s, const std::vector<area_function>& af, float Ag, int n) {
  return drive::run(s, n, [&](int) { s.afvt = af.data(), s.Ag = Ag; });
}

// {constriction, noiseSourceLoc, junction}: the frication source stays inside
// the tract; beyond the lips or below the first junction it falls back to the
// outlet. With every section above 100 cm² the constriction keeps its last
// index; one left by a longer tract must not point beyond a shorter one.
TEST(SimulatorStep, NoiseSourceAndConstrictionStayInsideTheTract) {
  struct Case {
    int c, loc, m;
  };
  Simulator s;
  gateway_config(s.cfg, 17);
  for (const Case& k : {Case{5, 1, 7}, Case{14, 2, 17}, Case{14, 3, 15}, Case{5, -3, 3},
                        Case{5, -30, 6}, Case{5, INT_MAX, 6}}) {
    s.cfg.noiseSourceLoc = k.loc;
    auto af = kUniform;
    af[k.c].A = 0.1f;
    run_held(s, af, 0.1f, 3);
    EXPECT_EQ(s.frication_junction(), k.m) << "constriction " << k.c << " loc " << k.loc;
  }
  s.cfg.nvt = 40;
  std::vector<area_function> long_tract(40, {3.0f, 0.5f});
  long_tract[35].A = 0.2f;
  run_held(s, long_tract, 0.1f, 5);
  EXPECT_EQ(s.Ac().index, 35);
  s.cfg.nvt = 17;
  for (float v : run_held(s, std::vector<area_function>(17, {150.0f, 1.0f}), 0.1f, 50))
    ASSERT_TRUE(std::isfinite(v));
  EXPECT_LT(s.Ac().index, 17);
}

// The constriction found in each step is the narrowest section of the
// search over the current areas (last of equal minima, nothing above 100 cm²,
// the last one kept while nothing qualifies), as the tract passes through
// ties, exactly 100 cm², wider tubes and closures.
TEST(SimulatorStep, ConstrictionIsTheLastNarrowestSectionInEveryStep) {
  Simulator s;
  gateway_config(s.cfg, 9);
  s.cfg.noise_source = 0;
  std::vector<area_function> tie(9, {2.0f, 1.0f}), wide(9, {150.0f, 1.0f}), hundred = wide,
                                                                            closed(9, {0.0f, 1.2f});
  tie[2].A = tie[6].A = 0.5f;
  hundred[4].A = 100.0f;
  closed[8].A = 4.0f;
  s.afvt = tie.data();
  s.Ag = 0.1f;
  s.vtt_ini();
  constriction ref = s.Ac();
  int checked = 0;
  for (const auto* target : {&tie, &wide, &hundred, &wide, &closed, &tie}) {
    for (int n = 0; n < 40; ++n, ++checked) {
      s.vtt_sim(0.1f, target->data());
      narrowest_section(s.af_sections().data(), 9, ref);
      ASSERT_EQ(s.Ac().index, ref.index) << "sample " << checked;
      ASSERT_EQ(s.Ac().A, ref.A) << "sample " << checked;
      ASSERT_EQ(s.Ac().x, ref.x) << "sample " << checked;
    }
  }
  s.vtt_term();
}

// Each run starts the network, flows and output filter from rest (with the
// wall-flow memory) but continues the noise sequence; instances share nothing,
// also on two threads.
TEST(SimulatorStep, RunsRestartFromRestAndInstancesAreIndependent) {
  Simulator quiet;
  gateway_config(quiet.cfg, 17);
  quiet.cfg.noise_source = 0;
  quiet.cfg.wall_radiation = 1;
  EXPECT_EQ(run_drive(quiet, 17, 400), run_drive(quiet, 17, 400));

  auto job = [](int nvt) {  // two noisy runs of one instance
    Simulator s;
    gateway_config(s.cfg, nvt);
    s.cfg.noiseAmp = 1e-4f;
    auto first = run_drive(s, nvt, 500);
    return std::pair{first, run_drive(s, nvt, 500)};
  };
  const auto alone17 = job(17), alone40 = job(40);
  EXPECT_NE(alone17.first, alone17.second);  // the second run draws further noise
  decltype(job(17)) t17, t40;
  std::thread a([&] { t17 = job(17); }), b([&] { t40 = job(40); });
  a.join(), b.join();
  EXPECT_TRUE(t17 == alone17 && t40 == alone40);
}

// 17 cm of 3 cm², closed at the glottis: a steady open glottis settles to
// silence; 4 ms glottal puffs at 20 Hz excite resonances near the odd
// quarter-wave frequencies c/4L, 3c/4L, 5c/4L (515, 1544, 2574 Hz).
TEST(SimulatorStep, UniformTubeSettlesAndResonatesAtQuarterWaveFrequencies) {
  Simulator s;
  gateway_config(s.cfg, 17);
  s.cfg.noise_source = 0;
  const auto held = run_held(s, kUniform, 0.15f, 8000);
  EXPECT_GT(*std::max_element(held.begin(), held.begin() + 100), 1e-3f);  // the onset is heard
  for (int j = 7900; j < 8000; ++j) EXPECT_LT(std::fabs(held[j]), 1e-5f) << j;

  const auto y = drive::run(s, 8000, [&](int j) {  // afvt stays on the uniform tube
    s.Ag = j % 500 < 40 ? static_cast<float>(0.05 - 0.05 * std::cos(2 * M_PI * (j % 500) / 40.0))
                        : 0.0f;
  });
  auto peak = [&](double lo, double hi) {  // strongest spectral line on a 20 Hz grid
    double best = lo, m = -1;
    for (double f = lo; f <= hi; f += 20.0) {
      std::complex<double> acc = 0;
      for (int j = 0; j < 8000; ++j)
        acc += double{y[j]} * std::polar(1.0, -2 * M_PI * f * j / 10000.0);
      if (std::abs(acc) > m) m = std::abs(acc), best = f;
    }
    return best;
  };
  const double F1 = peak(300, 900), F2 = peak(1200, 1900), F3 = peak(2200, 2950);
  // The lip radiation inertance adds the piston end correction 8r/(3pi).
  const double f1 = 35000.0 / (4 * (17.0 + 8.0 * std::sqrt(3.0 / M_PI) / (3.0 * M_PI)));
  EXPECT_GT(F1, f1) << F1;  // the yielding walls raise F1
  EXPECT_NEAR(F2, 3 * f1, 3 * f1 * 0.02) << F2;
  EXPECT_NEAR(F3, 5 * f1, 5 * f1 * 0.04) << F3;
  EXPECT_NEAR(F1, 515.0, 515.0 * 0.10);  // bare 17 cm tube: 515 Hz
}

}  // namespace
}  // namespace vt
