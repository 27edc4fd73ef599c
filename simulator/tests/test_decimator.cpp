#include "simulator/decimator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Weight of the sample of age a (0 = newest) in an output sample.
float Weight(const float* h, int a) {
  if (a == 51) return 2.0f * h[50];
  if (a == 0 || a == 1) return h[0];
  const int dist = a < 51 ? 51 - a : a - 51;  // 1 .. 49
  return h[50 - dist];
}

}  // namespace

TEST(Decimator, DesignAtThreeStepsPerSample) {
  vt::Decimator d;
  EXPECT_EQ(d.decim_init(3), 17);
  const float* h = d.coefficients();
  EXPECT_NEAR(h[50], 0.15, 1e-6);
  EXPECT_NEAR(h[49], 0.257284, 1e-6);
  EXPECT_NEAR(h[48], 0.150816, 1e-6);
  EXPECT_NEAR(h[47], 0.032521, 1e-6);
  EXPECT_NEAR(h[0], 0.0, 1e-7);
  // The same buffer slots exactly: 101 taps summing to the DC gain.
  double sum = 2.0 * h[50];
  for (int k = 0; k < 50; ++k) sum += 2.0 * h[k];
  EXPECT_NEAR(sum, 1.001, 5e-4);

  EXPECT_EQ(d.decim_init(1), 51);
  EXPECT_EQ(d.decim_init(2), 26);
  EXPECT_EQ(d.decim_init(4), 13);
  EXPECT_NEAR(d.coefficients()[50], 0.45 / 4, 1e-7);
}

TEST(Decimator, ConstantInputGivesDcGainOnceBufferIsFull) {
  vt::Decimator d;
  d.decim_init(3);
  float y = 0.0f;
  for (int i = 0; i < 102; ++i) y = d.decim(i % 3 == 2 ? 1 : 0, 1.0f);
  EXPECT_NEAR(y, 1.001, 5e-4);
  // Stays there, step after step, across buffer wrap-arounds.
  for (int i = 0; i < 1000; ++i) {
    const float z = d.decim(1, 1.0f);
    ASSERT_EQ(z, y) << i;
  }
  // A partly filled buffer gives less.
  d.decim_init(3);
  for (int i = 0; i < 50; ++i) y = d.decim(1, 1.0f);
  EXPECT_LT(y, 0.9f);
}

TEST(Decimator, ImpulseIsWeightedByItsAge) {
  vt::Decimator d;
  d.decim_init(3);
  const float* h = d.coefficients();
  const float v = 2.5f;
  // Start at several buffer positions so the walk wraps in every way.
  for (int offset : {0, 1, 37, 100, 150}) {
    for (int age = 0; age <= 101; ++age) {
      d.decim_init(3);
      for (int i = 0; i < offset; ++i) ASSERT_EQ(d.decim(0, 0.0f), 0.0f);
      float y;
      if (age == 0) {
        y = d.decim(1, v);
      } else {
        ASSERT_EQ(d.decim(0, v), 0.0f);  // stored, not filtered
        for (int i = 1; i < age; ++i) d.decim(0, 0.0f);
        y = d.decim(1, 0.0f);
      }
      const float expect = age == 101 ? 0.0f : static_cast<float>(static_cast<double>(v) * Weight(h, age));
      ASSERT_EQ(y, expect) << "offset " << offset << " age " << age;
    }
  }
  EXPECT_NEAR(Weight(h, 51), 0.3, 1e-6);
}

TEST(Decimator, InitialisationClearsTheBuffer) {
  vt::Decimator d;
  d.decim_init(3);
  for (int i = 0; i < 60; ++i) d.decim(0, 100.0f);
  EXPECT_EQ(d.decim_init(3), 17);
  EXPECT_EQ(d.decim(1, 0.0f), 0.0f);
}

TEST(Decimator, FactorBelowOneIsTakenAsOne) {
  vt::Decimator d, one;
  one.decim_init(1);
  for (int deci : {0, -3}) {
    EXPECT_EQ(d.decim_init(deci), 51) << deci;
    for (int k = 0; k < vt::Decimator::q_decim; ++k) {
      ASSERT_TRUE(std::isfinite(d.coefficients()[k]));
      ASSERT_EQ(d.coefficients()[k], one.coefficients()[k]) << k;
    }
  }
}
