// Output decimator: design at three steps per sample, delay, DC gain, and the
// symmetric buffer walk (each age gets its tap, across every wrap-around).
#include "simulator/decimator.h"

#include <gtest/gtest.h>

namespace {

TEST(Decimator, DesignDelayAndDcGain) {
  vt::Decimator d;
  EXPECT_EQ(d.decim_init(3), 17);
  const float* h = d.coefficients();
  EXPECT_NEAR(h[50], 0.15, 1e-6);
  EXPECT_NEAR(h[49], 0.257284, 1e-6);
  EXPECT_NEAR(h[48], 0.150816, 1e-6);
  EXPECT_NEAR(h[47], 0.032521, 1e-6);
  EXPECT_NEAR(h[0], 0.0, 1e-7);
  EXPECT_EQ(d.decim_init(4), 13);
  // Fewer than one step per sample (a division by zero) is designed as one.
  vt::Decimator one;
  EXPECT_EQ(one.decim_init(1), 51);
  EXPECT_EQ(d.decim_init(0), 51);
  for (int k = 0; k < vt::Decimator::q_decim; ++k) ASSERT_EQ(d.coefficients()[k], one.coefficients()[k]);

  d.decim_init(3);
  for (int i = 0; i < 60; ++i) d.decim(0, 100.0f);
  d.decim_init(3);  // clears the buffer
  EXPECT_EQ(d.decim(1, 0.0f), 0.0f);
  float y = 0.0f;
  for (int i = 0; i < 102; ++i) y = d.decim(1, 1.0f);
  EXPECT_NEAR(y, 1.001, 5e-4);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(d.decim(1, 1.0f), y) << i;  // across wrap-arounds
}

TEST(Decimator, ImpulseIsWeightedByItsAge) {
  vt::Decimator d;
  d.decim_init(3);
  const float* h = d.coefficients();
  // Age 51 is the centre (twice h[50]); ages 0 and 1 share the outermost tap.
  auto weight = [h](int a) {
    if (a == 51) return 2.0f * h[50];
    if (a <= 1) return h[0];
    return h[50 - (a < 51 ? 51 - a : a - 51)];
  };
  EXPECT_NEAR(weight(51), 0.3, 1e-6);
  for (int offset : {0, 1, 37, 100, 150}) {
    for (int age = 0; age <= 101; ++age) {
      d.decim_init(3);
      for (int i = 0; i < offset; ++i) d.decim(0, 0.0f);
      float y = 0.0f;
      if (age == 0) {
        y = d.decim(1, 2.5f);
      } else {
        ASSERT_EQ(d.decim(0, 2.5f), 0.0f);  // stored, not filtered
        for (int i = 1; i < age; ++i) d.decim(0, 0.0f);
        y = d.decim(1, 0.0f);
      }
      const float expect = age == 101 ? 0.0f : static_cast<float>(2.5 * weight(age));
      ASSERT_EQ(y, expect) << "offset " << offset << " age " << age;
    }
  }
}

}  // namespace
