// Network constants at the defaults, the element values of the tube models,
// the area floor and the constriction search with its ties.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/sim_constants.h"

namespace vt {
namespace {

TEST(AcousticElements, DefaultConstantsTubeModelsAndSinus) {
  SimConfig cfg;
  cfg.subGLTsystem = 1;
  const SimConstants k = derive_sim_constants(cfg);
  EXPECT_EQ(k.deci, 3);
  EXPECT_NEAR(k.La, 34.2, 34.2e-6);
  EXPECT_NEAR(k.Ca, 0.042965, 0.042965 * 1.2e-5);
  EXPECT_NEAR(k.Kr, 0.054431, 0.054431e-5);
  EXPECT_NEAR(k.Rlungs, 0.0612372, 0.0612372e-6);
  EXPECT_EQ(k.K_Bernoulli, double{1.42f * 0.00114f});  // a single-precision product

  // One section: half of its resistance on each junction, wall branch.
  const area_function s[3] = {{2.0f, 0.5f}, {2.0f, 0.5f}, {2.0f, 0.5f}};
  td_acoustic_elements e[4], nasal[4], tr[4];
  acous_elements_t(k, 1, kTubeVocal, 1, s, e);
  const double Rh = k.K_viscous_const * (0.5f / 2.0f) / 2.0f;
  EXPECT_TRUE(e[0].R == Rh && e[1].R == Rh && e[1].L == k.La * (0.5f / 2.0f));
  EXPECT_EQ(e[1].C, k.Ca * 2.0f * 0.5f);
  const float w = static_cast<float>(std::sqrt(2.0) * 0.5f);
  EXPECT_EQ(e[1].Yw, 1.0 / (k.Rw / w + k.Lw / w + k.Cw / w));
  const area_function g[1] = {{0.001f, 0.3f}};  // the glottal slit: A³ viscous term, no inertance
  acous_elements_t(k, 1, kTubeGlottis, 1, g, e);
  EXPECT_EQ(e[0].L + e[1].L, 0.0);
  EXPECT_EQ(e[1].R, k.K_viscous_glotte / std::pow(double{0.001f}, 3.0));
  // Nasal extra losses 0.05 per half section; walls off: the trachea still yields.
  acous_elements_t(k, 0, kTubeVocal, 3, s, e);
  acous_elements_t(k, 0, kTubeNasal, 3, s, nasal);
  acous_elements_t(k, 0, kTubeTrachea, 3, s, tr);
  const double extra[4] = {0.05, 0.1, 0.1, 0.05};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(nasal[i].R, e[i].R + extra[i]) << i;
  EXPECT_EQ(e[2].Yw, 0.0);
  EXPECT_EQ(tr[2].Yw, 1.0 / (k.Rt / w + k.Lt / w + k.Ct / w));

  // Paranasal sinus (sinus_pos 7, nnc 3): a Helmholtz resonator on record 4.
  cfg.wall = cfg.sinus_cavity = 1;
  const std::vector<area_function> nt(8, {2.0f, 1.0f});
  std::vector<td_acoustic_elements> sinus(9), none(9);
  NTacous_elements_t(k, cfg, 8, nt.data(), sinus.data());
  cfg.sinus_cavity = 0;
  NTacous_elements_t(k, cfg, 8, nt.data(), none.data());
  const double Rn = k.K_viscous_const * (1.0f / 2.0f) / 2.0f;
  EXPECT_EQ(sinus[4].C, 0.0);  // section 3 (the attachment) has no elements of its own
  EXPECT_TRUE(sinus[3].R == Rn + 0.1 && sinus[4].R == Rn + 0.1);
  EXPECT_EQ(sinus[4].Cw, k.Ca * 25.0f);
  EXPECT_EQ(sinus[5].Yw, none[5].Yw);
  cfg.sinus_cavity = 1;
  cfg.sinus_pos = 2;  // sinus_pos <= nnc: the resonator lands on record 0, nothing skipped
  NTacous_elements_t(k, cfg, 8, nt.data(), sinus.data());
  for (int i = 1; i <= 8; ++i) EXPECT_TRUE(sinus[i].C == none[i].C && sinus[i].R == none[i].R) << i;
  EXPECT_EQ(sinus[0].Cw, k.Ca * 25.0f);
}

TEST(AreaUpdate, FloorIncrementsAndConstrictionSearch) {
  EXPECT_EQ(nonzero_t(0.0005f), 0.001f);
  EXPECT_EQ(nonzero_t(std::nanf("")), 0.001f);
  EXPECT_EQ(nonzero_t(2.5f), 2.5f);
  EXPECT_EQ(area_increment(0.0f, 0.001f, 3.0f), 0.0f);  // closing stops at the floor

  constriction ph{}, mo{}, Ac{};
  // Equal minima: the last wins; NaN never qualifies.
  const area_function af[4] = {{std::nanf(""), 1.0f}, {0.5f, 1.1f}, {3.0f, 1.0f}, {0.5f, 1.3f}};
  find_constriction(af, 4, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_TRUE(Ac.region == 2 && Ac.index == 3 && Ac.x == 1.3f);
  // Above 100 cm² nothing qualifies: area 100, the last index and length kept.
  const area_function wide[2] = {{150.0f, 1.0f}, {101.0f, 3.0f}};
  find_constriction(wide, 2, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_TRUE(Ac.A == 100.0f && Ac.index == 3 && Ac.x == 1.3f);
  // Equal minima in the main and the mouth branch: the mouth wins.
  const area_function main[2] = {{0.4f, 1.0f}, {2.0f, 1.0f}};
  const area_function mouth[2] = {{3.0f, 1.0f}, {0.4f, 0.9f}};
  find_constriction(main, 2, mouth, 2, 1, ph, mo, Ac);
  EXPECT_TRUE(Ac.region == 3 && Ac.index == 1);
  find_constriction(main, 2, mouth, 2, 0, ph, mo, Ac);  // no nasal tract: no mouth branch
  EXPECT_TRUE(Ac.region == 2 && Ac.index == 0);
}

}  // namespace
}  // namespace vt
