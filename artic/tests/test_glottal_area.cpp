#include <gtest/gtest.h>

#include <vector>

#include "artic/glottal_area.h"

namespace vt {
namespace {

// One pulse of period P and the given amplitude, then `len` samples in all.
template <class Model>
std::vector<float> pulse(Model& model, int P, float amplitude, int len) {
  std::vector<float> out;
  int period = P;
  for (int i = 0; i < len; ++i) {
    out.push_back(model.tick(amplitude, &period));
    EXPECT_EQ(period, 0);
  }
  return out;
}

TEST(FantGlottalArea, PulseOfOneHundredSamples) {
  FantGlottalArea g;
  const std::vector<float> a = pulse(g, 100, 1.0f, 100);
  EXPECT_EQ(a[0], 0.0f);
  EXPECT_NEAR(a[18], 0.49998f, 1e-5f);
  EXPECT_FLOAT_EQ(a[36], 1.0f);  // closing starts at t1 = 36 with the full amplitude
  EXPECT_NEAR(a[61], 0.0421f, 1e-4f);  // t2 = 26: last closing sample is 61
  for (int n = 62; n < 100; ++n) EXPECT_EQ(a[n], 0.0f) << n;
}

TEST(FantGlottalArea, PhaseLengthsScaleWithThePeriod) {
  FantGlottalArea g;
  const std::vector<float> a = pulse(g, 50, 2.0f, 50);
  // t1 = 18: peak at sample 18; t2 = 13: closed from sample 31.
  for (int n = 1; n <= 18; ++n) EXPECT_GT(a[n], a[n - 1]) << n;
  EXPECT_FLOAT_EQ(a[18], 2.0f);
  EXPECT_GT(a[30], 0.0f);
  EXPECT_EQ(a[31], 0.0f);
}

TEST(FantGlottalArea, ClosedPhaseAndShortPeriods) {
  FantGlottalArea g;
  int idle = 0;
  EXPECT_EQ(g.tick(5.0f, &idle), 0.0f);  // no pulse yet
  pulse(g, 20, 1.0f, 20);
  // After the closed phase, no new period: 0.0 whatever the amplitude.
  int none = 0;
  int negative = -4;
  EXPECT_EQ(g.tick(7.0f, &none), 0.0f);
  EXPECT_EQ(g.tick(7.0f, &negative), 0.0f);
  EXPECT_EQ(negative, -4);
  for (int P : {1, 2, 3}) {
    const std::vector<float> a = pulse(g, P, 1.0f, P + 2);
    for (float v : a) EXPECT_EQ(v, 0.0f) << "P = " << P;
  }
  // A new period interrupts the pulse under way.
  pulse(g, 100, 1.0f, 10);
  int restart = 100;
  EXPECT_EQ(g.tick(1.0f, &restart), 0.0f);
}

TEST(FantGlottalArea, InstancesAreIndependent) {
  FantGlottalArea g1, g2;
  pulse(g1, 100, 1.0f, 18);
  int zero = 0;
  EXPECT_NEAR(g1.tick(1.0f, &zero), 0.49998f, 1e-5f);
  EXPECT_EQ(g2.tick(1.0f, &zero), 0.0f);
  g1.clear();
  EXPECT_EQ(g1.tick(1.0f, &zero), 0.0f);
}

TEST(HalvaneGlottalArea, PulseOfOneHundredSamples) {
  HalvaneGlottalArea g;
  const std::vector<float> a = pulse(g, 100, 1.0f, 100);
  EXPECT_EQ(a[0], 0.0f);
  EXPECT_NEAR(a[25], 0.5f, 1e-5f);
  EXPECT_FLOAT_EQ(a[50], 1.0f);  // t1 = 50
  EXPECT_NEAR(a[60], 0.727f, 1e-3f);
  EXPECT_NEAR(a[69], 0.0151f, 1e-4f);
  for (int n = 70; n < 100; ++n) EXPECT_EQ(a[n], 0.0f) << n;  // t3 = 70
  for (int P : {1, 2, 3}) {
    for (float v : pulse(g, P, 1.0f, P + 2)) EXPECT_EQ(v, 0.0f) << "P = " << P;
  }
  // P = 4: two opening samples, no closing phase (t2 = 0).
  const std::vector<float> four = pulse(g, 4, 1.0f, 4);
  EXPECT_EQ(four[0], 0.0f);
  EXPECT_FLOAT_EQ(four[1], 0.5f);
  EXPECT_EQ(four[2], 0.0f);
  EXPECT_EQ(four[3], 0.0f);
}

}  // namespace
}  // namespace vt
