// Initialisation: layout of the arrays per switch, seeds, cleared state,
// fixed radiation loads, and rejection of impossible networks.
#include <gtest/gtest.h>

#include <cmath>
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
    s.nnt = 13;
    s.Ag = 0.1f;
  }
};

TEST(SimulatorInit, GatewayConfigurationAllocatesOnlyTheMainChain) {
  Simulator s;
  Targets t;
  t.attach(s);
  testing::gateway_config(s.cfg, 17);
  EXPECT_EQ(s.vtt_ini(), 17);  // decimation delay, output samples
  EXPECT_EQ(s.constants().deci, 3);
  EXPECT_EQ(s.ac_elements().size(), 18u);
  EXPECT_TRUE(s.actr_elements().empty() && s.eqbu_rows().empty() && s.eqnt_rows().empty());
  EXPECT_TRUE(s.acbu_elements().empty() && s.afna_sections().empty());
  const auto eq = s.eq_rows();
  ASSERT_EQ(eq.size(), 2u * 17 + 5);
  EXPECT_NEAR(eq[0].elimSrc, 7843.12, 1e-3);  // lung pressure, dyn/cm²
  EXPECT_EQ(eq[0].elimSrc, double{980.39f * 8.0f});
  EXPECT_EQ(eq[0].elimCoef, 1.0);
  for (size_t i = 1; i < eq.size(); ++i)
    EXPECT_EQ(eq[i].src + eq[i].coef + eq[i].val + eq[i].elimSrc + eq[i].elimCoef, 0.0) << i;
  for (const auto& e : s.ac_elements()) EXPECT_EQ(e.R + e.L + e.C + e.Yw + e.srcL + e.srcC + e.srcP, 0.0);
  for (const auto& e : s.acglt_elements()) EXPECT_EQ(e.R + e.srcP + e.srcL, 0.0);
  EXPECT_EQ(s.Ac().index, 16);  // equal areas: the last section
  // Noise warm-up draws only with the noise source on.
  EXPECT_NE(s.glottal_noise_memory().low, 0.0f);
  Simulator quiet;
  t.attach(quiet);
  quiet.vtt_ini();
  EXPECT_EQ(quiet.glottal_noise_memory().low, 0.0f);
  EXPECT_EQ(quiet.constriction_noise_memory().low, 0.0f);

  s.vtt_term();
  EXPECT_TRUE(s.eq_rows().empty());
  EXPECT_THROW(s.vtt_sim(), std::logic_error);  // no run after vtt_term
}

TEST(SimulatorInit, TracheaNasalAndFixedTract) {
  Simulator s;
  Targets t;
  t.attach(s);
  s.cfg.subGLTsystem = 1;
  s.vtt_ini();
  EXPECT_EQ(s.layout().n0, 17 + 21);
  EXPECT_EQ(s.eq_rows().size(), 2u * 17 + 45);
  ASSERT_EQ(s.actr_elements().size(), 21u);
  EXPECT_EQ(s.actr_elements()[20].Rw, s.constants().Rt / static_cast<float>(std::sqrt(3.0)));
  s.cfg.aftr[19] = {0.0f, 0.0f};  // a closed trachea section is floored, not divided by
  s.vtt_ini();
  EXPECT_EQ(s.actr_elements()[20].C, s.constants().Ca * 0.001f * 0.001f);
  EXPECT_TRUE(std::isfinite(s.actr_elements()[20].R + s.actr_elements()[20].Yw));

  Simulator n;
  t.attach(n);
  n.cfg.nasal_tract = n.cfg.sinus_cavity = 1;
  n.vtt_ini();
  const SimLayout& L = n.layout();
  EXPECT_EQ(L.nvt0, 9);
  EXPECT_EQ(L.nbu0, 8);
  EXPECT_EQ(n.eqbu_rows().size(), 20u);
  EXPECT_EQ(n.eq_rows().size(), 2u * 9 + 5);
  EXPECT_EQ(n.acna_elements().size(), 11u);
  EXPECT_EQ(n.acnc_elements().size(), 4u);
  EXPECT_EQ(n.eqnt_rows().size(), 2u * 13 + 4);
  EXPECT_EQ(n.eqbu_rows()[L.nbu5].elimCoef, 1.0);
  EXPECT_EQ(n.eqnt_rows()[L.nnt5].elimCoef, 1.0);
  EXPECT_EQ(n.acna_elements()[4].C, 0.0);  // the sinus attachment
  const double nostril = n.constants().Grad * 1.5f + n.constants().Srad * std::sqrt(1.5);
  EXPECT_EQ(n.eqnt_rows()[L.nnt4].coef, nostril);

  // A closed nostril passes the area floor: a positive, finite radiation load.
  t.afnt[12].A = 0.0f;
  n.vtt_ini();
  EXPECT_EQ(n.eqnt_rows()[L.nnt4].coef, n.constants().Grad * 0.001f + n.constants().Srad * std::sqrt(double{0.001f}));

  // Fixed tract: elements and lip load at initialisation; fixed radiation loads.
  n.cfg.vocal_tract = n.cfg.rad_boundary = 0;
  n.vtt_ini();
  EXPECT_GT(n.acbu_elements()[3].L, 0.0);
  EXPECT_EQ(n.eqbu_rows()[L.nbu4].coef, 5.0);
  EXPECT_EQ(n.eqnt_rows()[L.nnt4].coef, 5000.0);
  s.cfg.subGLTsystem = s.cfg.vocal_tract = s.cfg.rad_boundary = 0;
  s.vtt_ini();
  EXPECT_EQ(s.eq_rows()[s.layout().n4].coef, 5.0);
}

TEST(SimulatorInit, RejectsImpossibleNetworks) {
  Targets t;
  auto rejected = [&](auto&& setup) {
    Simulator s;
    t.attach(s);
    setup(s);
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
  Simulator s;  // a valid call after a rejected one works
  t.attach(s);
  s.cfg.nvt = 0;
  EXPECT_THROW(s.vtt_ini(), std::invalid_argument);
  s.cfg.nvt = 17;
  EXPECT_NO_THROW(s.vtt_ini());
  EXPECT_NO_THROW(s.vtt_sim());
}

}  // namespace
}  // namespace vt
