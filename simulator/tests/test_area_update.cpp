// Area floor, per-step increments and the constriction search.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "simulator/area_update.h"

namespace vt {
namespace {

TEST(AreaFloor, FloorsSmallAndNaN) {
  EXPECT_EQ(nonzero_t(0.0005f), 0.001f);
  EXPECT_EQ(nonzero_t(std::numeric_limits<float>::quiet_NaN()), 0.001f);
  EXPECT_EQ(nonzero_t(-3.0f), 0.001f);
  EXPECT_EQ(nonzero_t(0.001f), 0.001f);
  EXPECT_EQ(nonzero_t(2.5f), 2.5f);
  EXPECT_EQ(static_cast<double>(nonzero_t(0.0f)), 0.0010000000474974513);
}

TEST(AreaIncrement, ThreeStepsReachTheTarget) {
  area_function a{1.0f, 2.0f};
  const float dA = area_increment(1.6f, a.A, 3.0f);
  const float dx = area_increment(2.0f, a.x, 3.0f);
  EXPECT_EQ(dx, 0.0f);
  const float expect[3] = {1.2f, 1.4f, 1.6f};
  for (int i = 0; i < 3; ++i) {
    a.A = nonzero_t(a.A + dA);
    a.x = nonzero_t(a.x + dx);
    EXPECT_NEAR(a.A, expect[i], 1e-6f);
    EXPECT_EQ(a.x, 2.0f);
  }
  // A closed target steps towards the floor, not below it.
  EXPECT_EQ(area_increment(0.0f, 0.001f, 3.0f), 0.0f);
}

TEST(Constriction, LastOfEqualMinimaWinsAndTheFloorQualifies) {
  const area_function af[5] = {{2.0f, 1.0f}, {0.5f, 1.1f}, {3.0f, 1.0f}, {0.5f, 1.3f}, {1.0f, 1.0f}};
  constriction ph{}, mo{}, Ac{};
  find_constriction(af, 5, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.region, 2);
  EXPECT_EQ(Ac.index, 3);
  EXPECT_EQ(Ac.A, 0.5f);
  EXPECT_EQ(Ac.x, 1.3f);

  const area_function closed[3] = {{1.0f, 1.0f}, {nonzero_t(0.0f), 0.7f}, {2.0f, 1.0f}};
  find_constriction(closed, 3, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.index, 1);
  EXPECT_EQ(Ac.A, 0.001f);
}

TEST(Constriction, WideTractKeepsThePreviousIndex) {
  const area_function narrow[3] = {{1.0f, 1.0f}, {0.2f, 0.6f}, {1.0f, 1.0f}};
  const area_function wide[3] = {{150.0f, 1.0f}, {200.0f, 2.0f}, {101.0f, 3.0f}};
  constriction ph{}, mo{}, Ac{};
  find_constriction(wide, 3, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.A, 100.0f);
  EXPECT_EQ(Ac.index, 0);
  EXPECT_EQ(Ac.x, 0.0f);
  find_constriction(narrow, 3, nullptr, 0, 0, ph, mo, Ac);
  find_constriction(wide, 3, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.region, 2);
  EXPECT_EQ(Ac.A, 100.0f);
  EXPECT_EQ(Ac.index, 1);
  EXPECT_EQ(Ac.x, 0.6f);
  const area_function with_nan[2] = {{std::nanf(""), 1.0f}, {5.0f, 2.0f}};
  find_constriction(with_nan, 2, nullptr, 0, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.index, 1);
}

TEST(Constriction, MouthBranchWinsOnEqualAreas) {
  const area_function main[2] = {{0.4f, 1.0f}, {2.0f, 1.0f}};
  const area_function mouth[2] = {{3.0f, 1.0f}, {0.4f, 0.9f}};
  constriction ph{}, mo{}, Ac{};
  find_constriction(main, 2, mouth, 2, 1, ph, mo, Ac);
  EXPECT_EQ(Ac.region, 3);
  EXPECT_EQ(Ac.index, 1);
  EXPECT_EQ(Ac.x, 0.9f);
  EXPECT_EQ(ph.index, 0);
  const area_function wider_mouth[2] = {{3.0f, 1.0f}, {0.5f, 0.9f}};
  find_constriction(main, 2, wider_mouth, 2, 1, ph, mo, Ac);
  EXPECT_EQ(Ac.region, 2);
  EXPECT_EQ(Ac.index, 0);
  // Without the nasal tract the mouth branch takes no part.
  find_constriction(main, 2, mouth, 2, 0, ph, mo, Ac);
  EXPECT_EQ(Ac.region, 2);
}

}  // namespace
}  // namespace vt
