// Output decimator: design, delay, DC gain across buffer wrap-arounds.
#include "simulator/decimator.h"

#include <gtest/gtest.h>

TEST(Decimator, DesignDelayAndDcGain) {
  vt::Decimator d, one;
  EXPECT_EQ(d.decim_init(4), 13);
  EXPECT_EQ(one.decim_init(1), 51);
  EXPECT_EQ(d.decim_init(0), 51);  // fewer than one step per sample is designed as one
  for (int k = 0; k < vt::Decimator::q_decim; ++k)
    ASSERT_EQ(d.coefficients()[k], one.coefficients()[k]);
  for (int i = 0; i < 60; ++i) d.decim(0, 100.0f);
  EXPECT_EQ(d.decim_init(3), 17);  // and clears the buffer
  EXPECT_EQ(d.decim(1, 0.0f), 0.0f);
  const float* h = d.coefficients();
  const float expect[] = {0.0f, 0.032521f, 0.150816f, 0.257284f, 0.15f};  // h[0], h[47..50]
  for (int k = 0; k < 5; ++k) EXPECT_NEAR(h[k == 0 ? 0 : 46 + k], expect[k], 1e-6) << k;
  float y = 0.0f;
  for (int i = 0; i < 102; ++i) y = d.decim(1, 1.0f);
  EXPECT_NEAR(y, 1.001, 5e-4);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(d.decim(1, 1.0f), y) << i;  // across wrap-arounds
}
