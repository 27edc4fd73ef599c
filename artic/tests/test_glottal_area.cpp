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
    EXPECT_EQ(period, 0);  // taken by the pulse start
  }
  return out;
}

TEST(FantGlottalArea, PulsesOfOneHundredAndFiftySamples) {
  FantGlottalArea g, other;
  int idle = 0;
  pulse(other, 100, 1.0f, 19);
  EXPECT_EQ(g.tick(1.0f, &idle), 0.0f);  // pulse state belongs to the instance
  const std::vector<float> a = pulse(g, 100, 1.0f, 100);
  EXPECT_NEAR(a[18], 0.49998f, 1e-5f);
  EXPECT_FLOAT_EQ(a[36], 1.0f);  // t1 = 36: the closing starts at the full amplitude
  // t2 = 26 (0.26f·100 rounded to float). The last closing sample pins the
  // roundings: a and b stored as float, a·m a float product, cosine in double.
  EXPECT_EQ(a[61], 0x1.592628p-5f);  // 0.0421
  EXPECT_EQ(a[62], 0.0f);
  // After the closed phase, no new period (<= 0): 0.0 whatever the amplitude.
  int negative = -4;
  EXPECT_EQ(g.tick(7.0f, &negative), 0.0f);
  EXPECT_EQ(negative, -4);

  // P = 50: t1 = 18 (peak), t2 = 13 (closed from sample 31).
  const std::vector<float> b = pulse(g, 50, 2.0f, 50);
  EXPECT_FLOAT_EQ(b[18], 2.0f);
  EXPECT_GT(b[30], 0.0f);
  EXPECT_EQ(b[31], 0.0f);
  for (int P : {1, 2, 3})
    for (float v : pulse(g, P, 1.0f, P + 2)) EXPECT_EQ(v, 0.0f) << "P = " << P;
}

TEST(HalvaneGlottalArea, PulseOfOneHundredSamples) {
  HalvaneGlottalArea g;
  const std::vector<float> a = pulse(g, 100, 1.0f, 100);
  EXPECT_FLOAT_EQ(a[50], 1.0f);      // t1 = 50
  EXPECT_EQ(a[60], 0x1.7438b8p-1f);  // 0.727: warped closing, b = 0.075
  EXPECT_EQ(a[69], 0x1.efb546p-7f);  // 0.0151
  EXPECT_EQ(a[70], 0.0f);            // t3 = 70
}

}  // namespace
}  // namespace vt
