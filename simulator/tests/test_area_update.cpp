// Area floor, per-step increments and the constriction search.
#include <gtest/gtest.h>

#include <cmath>

#include "simulator/area_update.h"

namespace vt {
namespace {

TEST(AreaUpdate, FloorAndIncrements) {
  EXPECT_EQ(nonzero_t(0.0005f), 0.001f);
  EXPECT_EQ(nonzero_t(std::nanf("")), 0.001f);
  EXPECT_EQ(nonzero_t(2.5f), 2.5f);
  EXPECT_EQ(static_cast<double>(nonzero_t(0.001f)), 0.0010000000474974513);

  area_function a{1.0f, 2.0f};
  const float dA = area_increment(1.6f, a.A, 3.0f), dx = area_increment(2.0f, a.x, 3.0f);
  EXPECT_EQ(dx, 0.0f);
  for (float expect : {1.2f, 1.4f, 1.6f}) {
    a.A = nonzero_t(a.A + dA);
    EXPECT_NEAR(a.A, expect, 1e-6f);
  }
  EXPECT_EQ(area_increment(0.0f, 0.001f, 3.0f), 0.0f);  // closing stops at the floor
}

TEST(AreaUpdate, ConstrictionSearch) {
  constriction ph{}, mo{}, Ac{};
  // Above 100 cm² nothing qualifies: area 100, index and length of nothing yet.
  const area_function wide[3] = {{150.0f, 1.0f}, {200.0f, 2.0f}, {101.0f, 3.0f}};
  find_constriction(wide, 3, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.A, 100.0f);
  EXPECT_EQ(Ac.index, 0);
  // Equal minima: the last wins; a floored section qualifies; NaN never does.
  const area_function af[5] = {{std::nanf(""), 1.0f}, {0.5f, 1.1f}, {3.0f, 1.0f}, {0.5f, 1.3f}, {1.0f, 1.0f}};
  find_constriction(af, 5, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.region, 2);
  EXPECT_EQ(Ac.index, 3);
  EXPECT_EQ(Ac.x, 1.3f);
  const area_function closed[2] = {{1.0f, 1.0f}, {nonzero_t(0.0f), 0.7f}};
  find_constriction(closed, 2, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.index, 1);
  // A wide tract afterwards keeps the last index and length.
  find_constriction(wide, 3, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.A, 100.0f);
  EXPECT_EQ(Ac.index, 1);
  EXPECT_EQ(Ac.x, 0.7f);

  // Equal minima in the main and the mouth branch: the mouth wins.
  const area_function main[2] = {{0.4f, 1.0f}, {2.0f, 1.0f}};
  const area_function mouth[2] = {{3.0f, 1.0f}, {0.4f, 0.9f}};
  find_constriction(main, 2, mouth, 2, 1, ph, mo, Ac);
  EXPECT_EQ(Ac.region, 3);
  EXPECT_EQ(Ac.index, 1);
  find_constriction(main, 2, mouth, 2, 0, ph, mo, Ac);  // no nasal tract: no mouth branch
  EXPECT_EQ(Ac.region, 2);
  EXPECT_EQ(Ac.index, 0);
}

}  // namespace
}  // namespace vt
