// Network constants at the defaults and the element values of the tube models.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "simulator/acoustic_elements.h"
#include "simulator/sim_constants.h"

namespace vt {
namespace {

TEST(SimConstants, DefaultValues) {
  SimConfig cfg;
  cfg.subGLTsystem = 1;
  const SimConstants k = derive_sim_constants(cfg);
  EXPECT_EQ(k.deci, 3);
  EXPECT_EQ(k.dt_sim, 1.0 / 30000.0f);
  // {value, printed reference, relative half unit of its last digit}
  const double cases[][3] = {
      {k.K_Bernoulli, 0.0016188, 1e-4}, {k.K_viscous_glotte, 0.00048211, 1e-4},
      {k.K_viscous_const, 0.0023373, 1e-4}, {k.La, 34.2, 1e-6}, {k.Ca, 0.042965, 1.2e-5},
      {k.Rw, 451.35, 1e-5}, {k.Lw, 25388.5, 2e-6}, {k.Cw, 1.41047, 1e-5}, {k.Rt, 141.047, 1e-5},
      {k.Lt, 5077.71, 1e-6}, {k.Ct, 4.70158, 1e-5}, {k.Grad, 0.0173924, 1e-5},
      {k.Srad, 0.0305281, 1e-5}, {k.Kr, 0.054431, 1e-5}, {k.Rlungs, 0.0612372, 1e-6}};
  for (const auto& c : cases) EXPECT_NEAR(c[0], c[1], c[1] * c[2]) << c[1];
  // Products of single-precision settings are single-precision products.
  EXPECT_EQ(k.K_Bernoulli, double{1.42f * 0.00114f});
  EXPECT_EQ(k.Rw, 1600.0f / (std::sqrt(double{kPi}) + std::sqrt(double{kPi})));
  EXPECT_EQ(derive_sim_constants(SimConfig{}).Rt, 0.0);  // trachea constants only with the trachea
}

TEST(AcousticElements, TubeAndGlottisSections) {
  const SimConstants k = derive_sim_constants(SimConfig{});
  const area_function s[3] = {{2.0f, 0.5f}, {4.0f, 2.0f}, {0.5f, 0.25f}};
  td_acoustic_elements e[4];
  e[0].srcL = 4.0;  // sources survive a change of geometry
  acous_elements_t(k, 1, kTubeVocal, 1, s, e);
  const float t = 0.5f / 2.0f;
  const double Rh = k.K_viscous_const * t / 2.0f;
  EXPECT_EQ(e[0].R, Rh);
  EXPECT_EQ(e[1].R, Rh);
  EXPECT_EQ(e[1].L, k.La * t);
  EXPECT_EQ(e[1].C, k.Ca * 2.0f * 0.5f);
  EXPECT_EQ(e[0].srcL, 4.0);
  const float w = static_cast<float>(std::sqrt(2.0) * 0.5f);
  EXPECT_EQ(e[1].Yw, 1.0 / (k.Rw / w + k.Lw / w + k.Cw / w));

  // Each inner junction carries half of each neighbour; unknown kinds are tubes.
  acous_elements_t(k, 1, 7, 3, s, e);
  auto half = [&](int i) { return k.K_viscous_const * (s[i].x / s[i].A) / s[i].A; };
  EXPECT_EQ(e[2].R, half(1) + half(2));
  EXPECT_EQ(e[3].R, half(2));

  for (float A : {0.001f, 0.3f}) {  // the glottal slit: A³ viscous term, no inertance
    const area_function g[1] = {{A, 0.3f}};
    acous_elements_t(k, 1, kTubeGlottis, 1, g, e);
    EXPECT_EQ(e[0].L + e[1].L, 0.0);
    EXPECT_EQ(e[1].R, k.K_viscous_glotte / std::pow(double{A}, 3.0));
  }
}

TEST(AcousticElements, NasalLossesAndWallSwitch) {
  SimConfig cfg;
  cfg.subGLTsystem = 1;
  const SimConstants k = derive_sim_constants(cfg);
  const area_function s[3] = {{3.0f, 1.0f}, {3.0f, 1.0f}, {3.0f, 1.0f}};
  td_acoustic_elements plain[4], nasal[4], tr[4];
  acous_elements_t(k, 1, kTubeVocal, 3, s, plain);
  acous_elements_t(k, 1, kTubeNasal, 3, s, nasal);
  const double extra[4] = {0.05, 0.1, 0.1, 0.05};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(nasal[i].R, plain[i].R + extra[i]) << i;
  acous_elements_t(k, 1, kTubeNasal, 1, s, nasal);
  EXPECT_EQ(nasal[1].R, plain[0].R + 0.05);  // one section: 0.05 on both records

  // Walls off: rigid vocal tract, the trachea still yields.
  acous_elements_t(k, 0, kTubeVocal, 3, s, plain);
  acous_elements_t(k, 0, kTubeTrachea, 3, s, tr);
  const float w = static_cast<float>(std::sqrt(3.0));
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(plain[i].Yw, 0.0);
    EXPECT_EQ(tr[i].Yw, 1.0 / (k.Rt / w + k.Lt / w + k.Ct / w));
  }
}

TEST(AcousticElements, ParanasalSinusPlacement) {
  SimConfig cfg;
  cfg.wall = 1;
  cfg.sinus_cavity = 1;  // sinus_pos 7, nnc 3: record 4
  const SimConstants k = derive_sim_constants(cfg);
  const std::vector<area_function> s(8, {2.0f, 1.0f});
  std::vector<td_acoustic_elements> e(9), none(9), e0(9);
  NTacous_elements_t(k, cfg, 8, s.data(), e.data());
  SimConfig off = cfg;
  off.sinus_cavity = 0;
  NTacous_elements_t(k, off, 8, s.data(), none.data());

  const double Rh = k.K_viscous_const * (1.0f / 2.0f) / 2.0f;
  EXPECT_EQ(e[4].C, 0.0);  // section 3 (the attachment) has no elements of its own
  EXPECT_EQ(e[3].R, Rh + 0.1);
  EXPECT_EQ(e[4].R, Rh + 0.1);
  EXPECT_EQ(none[3].R, Rh + Rh + 0.1);
  EXPECT_EQ(e[4].Cw, k.Ca * 25.0f);
  EXPECT_EQ(e[4].Lw, k.La * 0.5f / 0.1f);
  EXPECT_EQ(e[4].Rw, k.K_viscous_const * 0.5f / std::pow(double{0.1f}, 1.5));
  EXPECT_EQ(e[4].Yw, 1.0 / (e[4].Rw + e[4].Lw + e[4].Cw));
  EXPECT_EQ(e[5].Yw, none[5].Yw);

  // sinus_pos <= nnc: the resonator lands on record 0 and no section is skipped.
  cfg.sinus_pos = 2;
  NTacous_elements_t(k, cfg, 8, s.data(), e0.data());
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(e0[i].C, none[i].C) << i;
    EXPECT_EQ(e0[i].R, none[i].R) << i;
  }
  EXPECT_EQ(e0[0].Cw, k.Ca * 25.0f);
}

}  // namespace
}  // namespace vt
