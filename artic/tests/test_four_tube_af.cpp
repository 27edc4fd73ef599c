#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "artic/four_tube_af.h"

namespace vt {
namespace {

std::vector<area_function> fourTube(area_function t1, area_function t2, area_function t3,
                                    area_function t4, int nvt) {
  std::vector<area_function> af(static_cast<std::size_t>(nvt));
  FourTubeAF(t1, t2, t3, t4, nvt, af.data());
  return af;
}

void expectAreas(const std::vector<area_function>& af, std::vector<float> areas, float dx) {
  ASSERT_EQ(af.size(), areas.size());
  for (std::size_t j = 0; j < af.size(); ++j) {
    EXPECT_EQ(af[j].A, areas[j]) << "section " << j;
    EXPECT_EQ(af[j].x, dx) << "section " << j;
  }
}

TEST(FourTubeAF, SectionsTakeTheLengthWeightedMeanArea) {
  expectAreas(fourTube({1, 2}, {4, 2}, {2, 2}, {8, 2}, 4), {1, 4, 2, 8}, 2.0f);
  expectAreas(fourTube({1, 2}, {4, 2}, {2, 2}, {8, 2}, 8), {1, 1, 4, 4, 2, 2, 8, 8}, 1.0f);
  expectAreas(fourTube({1, 3}, {5, 1}, {2, 2}, {4, 2}, 4), {1, 3, 2, 4}, 2.0f);
  // Second section: 1 cm of tube 1 and all of tubes 2 and 3.
  expectAreas(fourTube({1, 3}, {5, 0.5f}, {2, 0.5f}, {4, 4}, 4), {1, 2.25f, 4, 4}, 2.0f);
  // A section starting at a tube end takes nothing from it; zero-length tubes
  // contribute nothing; all lengths 0 give sections of length 0, no division by 0.
  expectAreas(fourTube({1, 2}, {100, 0}, {4, 2}, {8, 4}, 4), {1, 4, 8, 8}, 2.0f);
  expectAreas(fourTube({1, 1}, {2, 1}, {3, 2}, {7, 0}, 2), {1.5f, 3}, 2.0f);
  expectAreas(fourTube({6, 0}, {2, 0}, {3, 0}, {4, 0}, 3), {6, 6, 6}, 0.0f);
}

TEST(FourTubeAF, EachPartialSumIsRoundedOnceToFloat) {
  // Tube 1 ends at 2^-70 cm and adds 2^-24 cm³; the section's 1 − 2^-70 cm of
  // tube 2 (area 1 + 2^-23) brings the exact sum just below the midpoint of
  // 1 + 2^-23 and 1 + 2^-22. Forming 1 − 2^-70 in double or long double first
  // lands on the midpoint and rounds up.
  const float a2 = 1.0f + std::ldexp(1.0f, -23);
  const auto af =
      fourTube({std::ldexp(1.0f, 46), std::ldexp(1.0f, -70)}, {a2, 1}, {5, 0}, {7, 0}, 1);
  EXPECT_EQ(af[0].A, a2);
}

TEST(FourTubeAF, ManySectionsStayInsideTheTubes) {
  // Rounded section positions may run past the total length; such sections
  // belong to the last tube and every area stays between the tube areas.
  const auto af = fourTube({1, 0.1f}, {2, 0.7f}, {3, 0.3f}, {4, 16.9f}, 20000);
  for (const area_function& s : af) {
    ASSERT_GE(s.A, 1.0f);
    ASSERT_LE(s.A, 4.0f);
  }
  EXPECT_EQ(af.back().A, 4.0f);
}

TEST(FourTubeAF, RefusesBadLengthsAndOutputWritesNothingForNoSections) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  area_function out[4] = {{9, 9}, {9, 9}, {9, 9}, {9, 9}};
  for (float bad : {-1.0f, inf, nan}) {
    EXPECT_THROW(FourTubeAF({1, 2}, {1, 2}, {1, bad}, {1, 2}, 4, out), std::invalid_argument);
    EXPECT_THROW(FourTubeAF({1, 2}, {bad, 2}, {1, 2}, {1, 2}, 4, out), std::invalid_argument);
  }
  // Finite lengths whose sum overflows gave infinite lengths and NaN areas.
  EXPECT_THROW(FourTubeAF({1, 3e38f}, {1, 3e38f}, {1, 2}, {1, 2}, 4, out), std::invalid_argument);
  FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, 0, out);
  FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, -3, nullptr);
  EXPECT_EQ(out[0].A, 9.0f);
  EXPECT_THROW(FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, 4, nullptr), std::invalid_argument);
}

}  // namespace
}  // namespace vt
