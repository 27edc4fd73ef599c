// Element values of the tube models and the network constants at the defaults.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "simulator/acoustic_elements.h"
#include "simulator/sim_constants.h"

namespace vt {
namespace {

SimConstants defaults_with_trachea() {
  SimConfig cfg;
  cfg.subGLTsystem = 1;
  return derive_sim_constants(cfg);
}

// value within half a unit of the last printed digit of the reference.
void expect_rounded(double value, double reference, double rel) {
  EXPECT_NEAR(value, reference, std::fabs(reference) * rel) << "reference " << reference;
}

TEST(SimConstants, DefaultValues) {
  const SimConstants k = defaults_with_trachea();
  EXPECT_EQ(k.deci, 3);
  EXPECT_EQ(k.dt_sim, 1.0 / 30000.0f);
  expect_rounded(k.K_Bernoulli, 0.0016188, 1e-4);
  expect_rounded(k.K_viscous_glotte, 0.00048211, 1e-4);
  expect_rounded(k.K_viscous_const, 0.0023373, 1e-4);
  expect_rounded(k.La, 34.2, 1e-6);
  expect_rounded(k.Ca, 0.042965, 1.2e-5);
  expect_rounded(k.Rw, 451.35, 1e-5);
  expect_rounded(k.Lw, 25388.5, 2e-6);
  expect_rounded(k.Cw, 1.41047, 1e-5);
  expect_rounded(k.Rt, 141.047, 1e-5);
  expect_rounded(k.Lt, 5077.71, 1e-6);
  expect_rounded(k.Ct, 4.70158, 1e-5);
  expect_rounded(k.Grad, 0.0173924, 1e-5);
  expect_rounded(k.Srad, 0.0305281, 1e-5);
  expect_rounded(k.Kr, 0.054431, 1e-5);
  expect_rounded(k.Rlungs, 0.0612372, 1e-6);
  // The wall factors share the exact same 2·sqrt(pi) = sqrt(pi) + sqrt(pi).
  const double two_sqrt_pi = std::sqrt(double{kPi}) + std::sqrt(double{kPi});
  EXPECT_EQ(k.Rw, 1600.0f / two_sqrt_pi);
  // Trachea constants exist only with the trachea on.
  EXPECT_EQ(derive_sim_constants(SimConfig{}).Rt, 0.0);
}

TEST(AcousticElements, OneSectionTube) {
  const SimConstants k = derive_sim_constants(SimConfig{});
  const area_function s[1] = {{2.0f, 0.5f}};
  td_acoustic_elements e[2];
  e[0].srcL = 4.0;  // sources survive a change of geometry
  acous_elements_t(k, 1, kTubeVocal, 1, s, e);
  const float t = 0.5f / 2.0f;
  const double Rh = k.K_viscous_const * t / 2.0f;
  EXPECT_EQ(e[0].R, Rh);
  EXPECT_EQ(e[1].R, Rh);
  EXPECT_EQ(e[0].L, k.La * t);
  EXPECT_EQ(e[1].L, k.La * t);
  EXPECT_EQ(e[1].C, k.Ca * 2.0f * 0.5f);
  EXPECT_EQ(e[0].srcL, 4.0);
  const float w = static_cast<float>(std::sqrt(2.0) * 0.5f);
  EXPECT_EQ(e[1].Rw, k.Rw / w);
  EXPECT_EQ(e[1].Yw, 1.0 / (k.Rw / w + k.Lw / w + k.Cw / w));
}

TEST(AcousticElements, ChainJunctionsCarryHalfOfEachNeighbour) {
  const SimConstants k = derive_sim_constants(SimConfig{});
  const area_function s[3] = {{1.0f, 1.0f}, {4.0f, 2.0f}, {0.5f, 0.25f}};
  td_acoustic_elements e[4];
  acous_elements_t(k, 1, kTubeVocal, 3, s, e);
  auto Rh = [&](int i) { return k.K_viscous_const * (s[i].x / s[i].A) / s[i].A; };
  EXPECT_EQ(e[0].R, 0.0 + Rh(0));
  EXPECT_EQ(e[1].R, Rh(0) + Rh(1));
  EXPECT_EQ(e[2].R, Rh(1) + Rh(2));
  EXPECT_EQ(e[3].R, Rh(2));
  td_acoustic_elements none[1];
  none[0].R = 9.0;
  acous_elements_t(k, 1, kTubeVocal, 0, s, none);
  EXPECT_EQ(none[0].R, 0.0);
}

TEST(AcousticElements, GlottisHasNoInertance) {
  const SimConstants k = derive_sim_constants(SimConfig{});
  for (float A : {0.001f, 0.05f, 0.3f}) {
    const area_function g[1] = {{A, 0.3f}};
    td_acoustic_elements e[2];
    acous_elements_t(k, 1, kTubeGlottis, 1, g, e);
    EXPECT_EQ(e[0].L, 0.0);
    EXPECT_EQ(e[1].L, 0.0);
    const double Rh = k.K_viscous_glotte / std::pow(double{A}, 3.0);
    EXPECT_EQ(e[0].R, Rh);
    EXPECT_EQ(e[1].R, Rh);
  }
}

TEST(AcousticElements, NasalCouplingExtraLosses) {
  const SimConstants k = derive_sim_constants(SimConfig{});
  const area_function s[3] = {{1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 1.0f}};
  td_acoustic_elements plain[4], nasal[4];
  acous_elements_t(k, 1, kTubeVocal, 3, s, plain);
  acous_elements_t(k, 1, kTubeNasal, 3, s, nasal);
  const double extra[4] = {0.05, 0.1, 0.1, 0.05};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(nasal[i].R, plain[i].R + extra[i]) << i;
  td_acoustic_elements one_plain[2], one_nasal[2];
  acous_elements_t(k, 1, kTubeVocal, 1, s, one_plain);
  acous_elements_t(k, 1, kTubeNasal, 1, s, one_nasal);
  EXPECT_EQ(one_nasal[0].R, one_plain[0].R + 0.05);
  EXPECT_EQ(one_nasal[1].R, one_plain[1].R + 0.05);
  // Unknown kinds are plain tubes.
  td_acoustic_elements other[4];
  acous_elements_t(k, 1, 7, 3, s, other);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(other[i].R, plain[i].R);
}

TEST(AcousticElements, RigidWallsButYieldingTrachea) {
  SimConfig cfg;
  cfg.subGLTsystem = 1;
  const SimConstants k = derive_sim_constants(cfg);
  const area_function s[2] = {{3.0f, 1.0f}, {3.0f, 1.0f}};
  td_acoustic_elements vt_e[3], tr[3];
  vt_e[1].Yw = vt_e[2].Yw = 1.0;
  acous_elements_t(k, 0, kTubeVocal, 2, s, vt_e);
  acous_elements_t(k, 0, kTubeTrachea, 2, s, tr);
  EXPECT_EQ(vt_e[1].Yw, 0.0);
  EXPECT_EQ(vt_e[2].Yw, 0.0);
  const float w = static_cast<float>(std::sqrt(3.0));
  EXPECT_EQ(tr[1].Rw, k.Rt / w);
  EXPECT_EQ(tr[1].Lw, k.Lt / w);
  EXPECT_EQ(tr[1].Cw, k.Ct / w);
  EXPECT_GT(tr[2].Yw, 0.0);
}

TEST(AcousticElements, ParanasalSinusPlacement) {
  SimConfig cfg;
  cfg.wall = 1;
  cfg.sinus_cavity = 1;  // sinus_pos 7, nnc 3: record 4
  const SimConstants k = derive_sim_constants(cfg);
  std::vector<area_function> s(8, {2.0f, 1.0f});
  std::vector<td_acoustic_elements> e(9), no_sinus(9);
  NTacous_elements_t(k, cfg, 8, s.data(), e.data());
  SimConfig off = cfg;
  off.sinus_cavity = 0;
  NTacous_elements_t(k, off, 8, s.data(), no_sinus.data());

  const double Rh = k.K_viscous_const * (1.0f / 2.0f) / 2.0f;
  // Section 3 (the attachment) has no tube elements of its own.
  EXPECT_EQ(e[4].C, 0.0);
  EXPECT_EQ(e[3].R, Rh + 0.1);  // only section 2's half
  EXPECT_EQ(e[4].R, Rh + 0.1);  // only section 4's half
  EXPECT_EQ(no_sinus[3].R, Rh + Rh + 0.1);
  EXPECT_EQ(e[4].Cw, k.Ca * 25.0f);
  EXPECT_EQ(e[4].Lw, k.La * 0.5f / 0.1f);
  EXPECT_EQ(e[4].Rw, k.K_viscous_const * 0.5f / std::pow(double{0.1f}, 1.5));
  EXPECT_EQ(e[4].Yw, 1.0 / (e[4].Rw + e[4].Lw + e[4].Cw));
  EXPECT_EQ(e[0].R, Rh + 0.05);
  EXPECT_EQ(e[8].R, Rh + 0.05);
  for (int i : {1, 2, 3, 5, 6, 7, 8}) EXPECT_EQ(e[i].Yw, no_sinus[i].Yw) << i;

  // sinus_pos <= nnc: the resonator lands on record 0, no section is skipped.
  cfg.sinus_pos = 2;
  std::vector<td_acoustic_elements> e0(9);
  NTacous_elements_t(k, cfg, 8, s.data(), e0.data());
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(e0[i].C, no_sinus[i].C) << i;
    EXPECT_EQ(e0[i].R, no_sinus[i].R) << i;
    EXPECT_EQ(e0[i].Yw, no_sinus[i].Yw) << i;
  }
  EXPECT_EQ(e0[0].Cw, k.Ca * 25.0f);
}

}  // namespace
}  // namespace vt
