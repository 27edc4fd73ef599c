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
}

TEST(FourTubeAF, TubeEndsAndZeroLengthTubes) {
  // A section that starts exactly at a tube end takes nothing from that tube;
  // a tube of length 0 contributes nothing anywhere.
  expectAreas(fourTube({1, 2}, {100, 0}, {4, 2}, {8, 4}, 4), {1, 4, 8, 8}, 2.0f);
  expectAreas(fourTube({100, 0}, {3, 1}, {5, 3}, {100, 0}, 2), {4, 5}, 2.0f);
  // A zero-length last tube: the sections end in tube 3.
  expectAreas(fourTube({1, 1}, {2, 1}, {3, 2}, {7, 0}, 2), {1.5f, 3}, 2.0f);
  // All lengths 0: sections of length 0 with the first tube's area, no division by 0.
  expectAreas(fourTube({6, 0}, {2, 0}, {3, 0}, {4, 0}, 3), {6, 6, 6}, 0.0f);
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

TEST(FourTubeAF, RefusesBadLengthsCountsAndOutput) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  area_function out[4] = {{9, 9}, {9, 9}, {9, 9}, {9, 9}};
  for (float bad : {-1.0f, inf, nan}) {
    EXPECT_THROW(FourTubeAF({1, 2}, {1, 2}, {1, bad}, {1, 2}, 4, out), std::invalid_argument)
        << bad;
  }
  EXPECT_EQ(out[0].A, 9.0f);
  EXPECT_THROW(FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, 0, out), std::invalid_argument);
  EXPECT_THROW(FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, -3, out), std::invalid_argument);
  EXPECT_THROW(FourTubeAF({1, 2}, {1, 2}, {1, 2}, {1, 2}, 4, nullptr), std::invalid_argument);
  try {
    FourTubeAF({1, 2}, {1, -2}, {1, 2}, {1, 2}, 4, out);
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "FourTubeAF: the length of tube 2 must be a finite number of cm, 0 or more");
  }
}

}  // namespace
}  // namespace vt
