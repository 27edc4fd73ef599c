// Initialisation: layout of the arrays per switch, seeds, cleared state,
// fixed radiation loads, and rejection of impossible networks.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "simulator/simulator.h"
#include "simulator/tests/sim_drive.h"

namespace vt {
namespace {

struct Targets {
  std::vector<area_function> afvt = std::vector<area_function>(17, {3.0f, 1.0f});
  std::vector<area_function> afnt = std::vector<area_function>(13, {1.5f, 1.0f});
  void attach(Simulator& s) {
    s.afvt = afvt.data();
    s.afnt = afnt.data();
    s.nnt = static_cast<int>(afnt.size());
    s.Ag = 0.1f;
  }
};

TEST(SimulatorInit, GatewayConfigurationAllocatesOnlyTheMainChain) {
  Simulator s;
  Targets t;
  t.attach(s);
  testing::gateway_config(s.cfg, 17);
  EXPECT_EQ(s.vtt_ini(), 17);  // decimation delay, output samples
  const SimLayout& L = s.layout();
  EXPECT_EQ(s.constants().deci, 3);
  EXPECT_EQ(s.constants().dt_sim, 1.0 / 30000.0f);
  EXPECT_EQ(L.nvt0, 17);
  EXPECT_EQ(L.n5, 2 * 17 + 5);
  EXPECT_EQ(s.eq_rows().size(), 2u * 17 + 5);
  EXPECT_EQ(s.ac_elements().size(), 18u);
  EXPECT_TRUE(s.actr_elements().empty());
  EXPECT_TRUE(s.acbu_elements().empty());
  EXPECT_TRUE(s.eqbu_rows().empty());
  EXPECT_TRUE(s.eqnt_rows().empty());
  EXPECT_TRUE(s.afna_sections().empty());

  auto eq = s.eq_rows();
  EXPECT_NEAR(eq[0].elimSrc, 7843.12, 1e-3);
  EXPECT_EQ(eq[0].elimSrc, double{980.39f * 8.0f});
  EXPECT_EQ(eq[0].elimCoef, 1.0);
  for (size_t i = 0; i < eq.size(); ++i) {
    const auto& r = eq[i];
    EXPECT_EQ(r.src + r.coef + r.val, 0.0) << i;
    if (i > 0) {
      EXPECT_EQ(r.elimSrc + r.elimCoef, 0.0) << i;
    }
  }
  for (const auto& e : s.ac_elements()) {
    EXPECT_EQ(e.R + e.L + e.C + e.Yw + e.srcL + e.srcC + e.srcP, 0.0);
  }
  for (const auto& e : s.acglt_elements()) EXPECT_EQ(e.R + e.srcP + e.srcL, 0.0);
  EXPECT_EQ(s.glottis_section().A, 0.1f);
  EXPECT_EQ(s.glottis_section().x, 0.3f);
  EXPECT_EQ(s.Ac().region, 2);
  EXPECT_EQ(s.Ac().index, 16);  // equal areas: the last section
  s.vtt_term();
  EXPECT_TRUE(s.eq_rows().empty());
  EXPECT_FALSE(s.running());
}

TEST(SimulatorInit, NoiseWarmUpOnlyWithTheNoiseSourceOn) {
  Targets t;
  Simulator quiet, noisy;
  t.attach(quiet);
  t.attach(noisy);
  noisy.cfg.noise_source = 1;
  quiet.vtt_ini();
  noisy.vtt_ini();
  EXPECT_EQ(quiet.glottal_noise_memory().low, 0.0f);
  EXPECT_EQ(quiet.constriction_noise_memory().low, 0.0f);
  EXPECT_NE(noisy.glottal_noise_memory().low, 0.0f);
  EXPECT_NE(noisy.constriction_noise_memory().low, noisy.glottal_noise_memory().low);
  EXPECT_EQ(quiet.constants().Kr, noisy.constants().Kr);
  EXPECT_EQ(quiet.eq_rows().size(), noisy.eq_rows().size());
}

TEST(SimulatorInit, TracheaAndNasalCounts) {
  Simulator s;
  Targets t;
  t.attach(s);
  s.cfg.subGLTsystem = 1;
  s.vtt_ini();
  EXPECT_EQ(s.layout().n0, 17 + 21);
  EXPECT_EQ(s.eq_rows().size(), 2u * 17 + 45);
  ASSERT_EQ(s.actr_elements().size(), 21u);
  EXPECT_GT(s.actr_elements()[20].Yw, 0.0);  // trachea walls always yield
  EXPECT_EQ(s.actr_elements()[20].Rw, s.constants().Rt / static_cast<float>(std::sqrt(3.0)));
  s.vtt_term();

  Simulator n;
  t.attach(n);
  n.cfg.nasal_tract = 1;
  n.cfg.sinus_cavity = 1;
  n.vtt_ini();
  const SimLayout& L = n.layout();
  EXPECT_EQ(L.nvt0, 9);
  EXPECT_EQ(L.nbu0, 8);
  EXPECT_EQ(L.nbu6, 20);
  EXPECT_EQ(n.eqbu_rows().size(), 20u);
  EXPECT_EQ(n.eq_rows().size(), 2u * 9 + 5);
  EXPECT_EQ(L.nna0, 10);
  EXPECT_EQ(n.acna_elements().size(), 11u);
  EXPECT_EQ(n.acnc_elements().size(), 4u);
  EXPECT_EQ(n.eqnt_rows().size(), 2u * 13 + 4);
  EXPECT_EQ(n.eqbu_rows()[L.nbu5].elimCoef, 1.0);
  EXPECT_EQ(n.eqnt_rows()[L.nnt5].elimCoef, 1.0);
  EXPECT_EQ(n.acna_elements()[4].C, 0.0);  // the sinus attachment
  EXPECT_GT(n.acna_elements()[4].Yw, 0.0);
  EXPECT_EQ(n.afbu_sections().size(), 8u);
  const double nostril = n.constants().Grad * 1.5f + n.constants().Srad * std::sqrt(1.5);
  EXPECT_EQ(n.eqnt_rows()[L.nnt4].coef, nostril);
  n.vtt_term();
}

TEST(SimulatorInit, FixedTractAndFixedRadiationLoads) {
  Simulator s;
  Targets t;
  t.attach(s);
  s.cfg.vocal_tract = 0;
  s.cfg.rad_boundary = 0;
  s.vtt_ini();
  EXPECT_EQ(s.eq_rows()[s.layout().n4].coef, 5.0);
  EXPECT_GT(s.ac_elements()[3].L, 0.0);  // computed once at initialisation
  s.vtt_term();

  s.cfg.nasal_tract = 1;
  s.vtt_ini();
  EXPECT_EQ(s.eqbu_rows()[s.layout().nbu4].coef, 5.0);
  EXPECT_EQ(s.eqnt_rows()[s.layout().nnt4].coef, 5000.0);
  s.vtt_term();
}

TEST(SimulatorInit, RejectsImpossibleNetworks) {
  Targets t;
  auto expect_rejected = [&](auto&& setup) {
    Simulator s;
    t.attach(s);
    setup(s);
    EXPECT_THROW(s.vtt_ini(), std::invalid_argument);
    EXPECT_FALSE(s.running());
    EXPECT_THROW(s.vtt_sim(), std::logic_error);
  };
  expect_rejected([](Simulator& s) { s.cfg.nvt = 0; });
  expect_rejected([](Simulator& s) { s.afvt = nullptr; });
  expect_rejected([](Simulator& s) { s.cfg.smpfrq = 0.0f; });
  expect_rejected([](Simulator& s) { s.cfg.nglt0 = 2; });
  expect_rejected([](Simulator& s) { s.cfg.subGLTsystem = 1; s.cfg.ntr = 21; });
  expect_rejected([](Simulator& s) { s.cfg.nasal_tract = 1; s.cfg.nbp = 0; });
  expect_rejected([](Simulator& s) { s.cfg.nasal_tract = 1; s.cfg.nbp = 17; });
  expect_rejected([](Simulator& s) { s.cfg.nasal_tract = 1; s.afnt = nullptr; });
  expect_rejected([](Simulator& s) { s.cfg.nasal_tract = 1; s.nnt = 3; });
  expect_rejected([](Simulator& s) { s.cfg.nasal_tract = 1; s.cfg.nnc = -1; });
  expect_rejected([](Simulator& s) {
    s.cfg.nasal_tract = 1;
    s.cfg.sinus_cavity = 1;
    s.cfg.sinus_pos = 14;  // 14 - 3 > 10 nasal sections
  });
  // A valid call after a rejected one works.
  Simulator s;
  t.attach(s);
  s.cfg.nvt = 0;
  EXPECT_THROW(s.vtt_ini(), std::invalid_argument);
  s.cfg.nvt = 17;
  EXPECT_NO_THROW(s.vtt_ini());
  EXPECT_NO_THROW(s.vtt_sim());
}

}  // namespace
}  // namespace vt
