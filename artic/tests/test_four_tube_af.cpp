#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <vector>

#include "artic/four_tube_af.h"

namespace vt {
namespace {

using Areas = std::vector<float>;

/// Section areas (cm²) of FourTubeAF over tubes t; NaN for a section whose length is not dx cm.
Areas areas(std::initializer_list<area_function> t, int nvt, float dx) {
  std::vector<area_function> af(static_cast<std::size_t>(nvt));
  FourTubeAF(t.begin()[0], t.begin()[1], t.begin()[2], t.begin()[3], nvt, af.data());
  Areas A;
  for (const area_function& s : af) A.push_back(s.x == dx ? s.A : std::nanf(""));
  return A;
}

TEST(FourTubeAF, SectionsTakeTheLengthWeightedMeanArea) {
  EXPECT_EQ(areas({{1, 2}, {4, 2}, {2, 2}, {8, 2}}, 4, 2), Areas({1, 4, 2, 8}));
  EXPECT_EQ(areas({{1, 3}, {5, 1}, {2, 2}, {4, 2}}, 4, 2), Areas({1, 3, 2, 4}));
  // Second section: 1 cm of tube 1 and all of tubes 2 and 3.
  EXPECT_EQ(areas({{1, 3}, {5, 0.5f}, {2, 0.5f}, {4, 4}}, 4, 2), Areas({1, 2.25f, 4, 4}));
  // A section starting at a tube end takes nothing from it; zero-length tubes
  // contribute nothing; all lengths 0 give sections of length 0, no division by 0.
  EXPECT_EQ(areas({{1, 2}, {100, 0}, {4, 2}, {8, 4}}, 4, 2), Areas({1, 4, 8, 8}));
  EXPECT_EQ(areas({{1, 1}, {2, 1}, {3, 2}, {7, 0}}, 2, 2), Areas({1.5f, 3}));
  EXPECT_EQ(areas({{6, 0}, {2, 0}, {3, 0}, {4, 0}}, 3, 0), Areas({6, 6, 6}));
}

TEST(FourTubeAF, PartialSumsRoundOnceAndLatePositionsStayInTheLastTube) {
  // Tube 1 ends at 2^-70 cm and adds 2^-24 cm³; the section's 1 − 2^-70 cm of tube 2
  // (area 1 + 2^-23) brings the exact sum just below the midpoint of 1 + 2^-23 and
  // 1 + 2^-22. Forming 1 − 2^-70 in double or long double first rounds up.
  const float a2 = 1.0f + std::ldexp(1.0f, -23);
  EXPECT_EQ(areas({{std::ldexp(1.0f, 46), std::ldexp(1.0f, -70)}, {a2, 1}, {5, 0}, {7, 0}}, 1, 1),
            Areas({a2}));
  // Rounded section positions may run past the total length: such sections
  // belong to the last tube.
  const Areas many = areas({{1, 0.1f}, {2, 0.7f}, {3, 0.3f}, {4, 16.9f}}, 20000, 18.0f / 20000);
  EXPECT_TRUE(std::all_of(many.begin(), many.end(), [](float A) { return A >= 1 && A <= 4; }));
  EXPECT_EQ(many.back(), 4.0f);
}

TEST(FourTubeAF, RefusesBadLengthsAndOutputWritesNothingForNoSections) {
  area_function out[4] = {{9, 9}, {9, 9}, {9, 9}, {9, 9}};
  for (float bad : {-1.0f, std::numeric_limits<float>::infinity(), std::nanf("")}) {
    EXPECT_THROW(FourTubeAF({1, 2}, {1, 2}, {1, bad}, {1, 2}, 4, out), std::invalid_argument);
    EXPECT_THROW(FourTubeAF({1, 2}, {bad, 2}, {1, 2}, {1, 2}, 4, out), std::invalid_argument);
  }
  // Finite lengths whose sum overflows would give infinite lengths and NaN areas.
  EXPECT_THROW(FourTubeAF({1, 3e38f}, {1, 3e38f}, {1, 2}, {1, 2}, 4, out), std::invalid_argument);
  EXPECT_THROW(FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, 4, nullptr), std::invalid_argument);
  // Finite areas whose shares overflow gave infinite mean areas; a section
  // within one such tube keeps its area.
  EXPECT_THROW(FourTubeAF({3e38f, 1}, {3e38f, 1}, {1, 1}, {1, 1}, 1, out), std::invalid_argument);
  FourTubeAF({3e38f, 1}, {3e38f, 1}, {1, 1}, {1, 1}, 4, out);
  EXPECT_EQ(out[1].A, 3e38f);
  out[0].A = 9.0f;
  FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, 0, out);
  FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, -3, nullptr);
  EXPECT_EQ(out[0].A, 9.0f);
}

}  // namespace
}  // namespace vt
