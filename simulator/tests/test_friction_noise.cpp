// Shaped noise: white-input mapping, second-order sections, warm-up and draw
// order, and the whole recurrence against an extended-precision model.
#include "simulator/friction_noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

std::vector<std::int32_t> Sequence(int n) {
  vt::RandomGenerator g;
  std::vector<std::int32_t> v(n);
  for (auto& x : v) x = g.next();
  return v;
}

TEST(FrictionNoise, WhiteInputAndSecondOrderSections) {
  vt::FrictionNoise3 gen;  // valid scale before any flag-0 call: noise, not a step response
  EXPECT_EQ(gen.scale(), 0x1p-30f);
  vt::NoiseMemory mem;
  gen.draw(0, mem);
  EXPECT_EQ(mem.in[0][0], -1.0f);
  gen.draw(1 << 30, mem);
  EXPECT_EQ(mem.in[0][0], 0.0f);
  EXPECT_EQ(mem.in[0][2], -1.0f);  // shifted into the history
  gen.draw(2147483647, mem);       // rounds to 2^31 in float: +1
  EXPECT_EQ(mem.in[0][0], 1.0f);

  const float a[3] = {1.0f, -0.5f, 0.25f}, b[3] = {2.0f, 3.0f, 4.0f};
  float x[3] = {1.0f, 0.0f, 0.0f}, y[3] = {};
  for (float expect : {2.0f, 3.0f + 0.5f * 2.0f, 4.0f + 0.5f * 4.0f - 0.25f * 2.0f}) {
    vt::filter2(x, y, a, b);
    EXPECT_EQ(y[0], expect);
    x[0] = 0.0f;
  }
  EXPECT_EQ(y[1], 4.0f);
  EXPECT_EQ(y[2], 2.0f);
  EXPECT_EQ(x[1], 0.0f);
}

TEST(FrictionNoise, WarmUpConsumptionAndDrawOrder) {
  const std::vector<std::int32_t> seq = Sequence(210);
  vt::RandomGenerator rng;
  vt::FrictionNoise3 gen;
  vt::NoiseMemory mem, ref;
  const float v = gen.frictionNoise3(0, mem, rng);  // three warm-up draws, then one
  float expect = 0.0f;
  for (int i = 0; i < 4; ++i) expect = gen.draw(seq[i], ref);
  EXPECT_EQ(v, expect);
  EXPECT_EQ(v, mem.low);
  EXPECT_EQ(rng.next(), seq[4]);

  vt::RandomGenerator rng7;
  vt::FrictionNoise7 gen7;
  vt::NoiseMemory mem7;
  EXPECT_EQ(gen7.frictionNoise7(0, mem7, rng7), mem7.low);
  EXPECT_EQ(rng7.next(), seq[8]);  // seven warm-up draws, then one

  // Two sources called alternately each hear every other number.
  vt::RandomGenerator alt;
  vt::NoiseMemory c, g, refC, refG;
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(gen.frictionNoise3(1, c, alt), gen.draw(seq[2 * i], refC)) << i;
    ASSERT_EQ(gen.frictionNoise3(1, g, alt), gen.draw(seq[2 * i + 1], refG)) << i;
  }
}

// Every stored value rounded to float, every sum formed in extended precision.
struct ReferenceNoise {
  const float *b, *a;
  int sections;
  float x[4][2] = {}, y[4][2] = {}, low = 0.0f;
  float Draw(std::int32_t r) {
    float in = static_cast<float>(static_cast<long double>(static_cast<float>(r)) / 1073741824.0L - 1.0L);
    for (int s = 0; s < sections; ++s) {
      const float *bs = b + 3 * s, *as = a + 3 * s;
      const long double sum = (long double)bs[0] * in + (long double)bs[1] * x[s][0] +
                              (long double)bs[2] * x[s][1] - (long double)as[1] * y[s][0] -
                              (long double)as[2] * y[s][1];
      x[s][1] = x[s][0];
      x[s][0] = in;
      y[s][1] = y[s][0];
      y[s][0] = in = static_cast<float>(sum);
    }
    return low = static_cast<float>(static_cast<long double>(0.8f) * low + in);
  }
};

TEST(FrictionNoise, BothGeneratorsFollowTheRecurrence) {
  const float b3[6] = {0.9546f, -1.9093f, 0.9546f, 0.9974f, -0.9974f, 0.0f};
  const float a3[6] = {1.0f, -1.8977f, 0.9069f, 1.0f, -0.9067f, 0.0f};
  const float b7[12] = {0.459015f, -0.91803f,  0.459015f, 1.711121f, -1.711121f, 0.0f,
                        0.893433f, -1.786865f, 0.893433f, 1.042725f, -2.085449f, 1.042725f};
  const float a7[12] = {1.0f, -0.83606f,  0.0f,      1.0f, -1.697388f, 0.724731f,
                        1.0f, -1.772522f, 0.801086f, 1.0f, -1.893677f, 0.924164f};
  for (int variant : {3, 7}) {
    vt::RandomGenerator rng, refRng;
    vt::FrictionNoise3 g3;
    vt::FrictionNoise7 g7;
    vt::NoiseMemory mem;
    ReferenceNoise ref{variant == 3 ? b3 : b7, variant == 3 ? a3 : a7, variant == 3 ? 2 : 4};
    double energy = 0.0;
    for (int i = 0; i < 20000; ++i) {
      const int flag = i == 0 ? 0 : 1;
      const float v = variant == 3 ? g3.frictionNoise3(flag, mem, rng) : g7.frictionNoise7(flag, mem, rng);
      float expect = 0.0f;
      for (int k = 0; k < (flag == 0 ? variant + 1 : 1); ++k) expect = ref.Draw(refRng.next());
      ASSERT_EQ(v, expect) << "variant " << variant << " value " << i;
      energy += static_cast<double>(v) * v;
    }
    const double rms = std::sqrt(energy / 20000);  // shaped noise of about unit amplitude
    EXPECT_GT(rms, 0.1) << variant;
    EXPECT_LT(rms, 10.0) << variant;
  }
}

}  // namespace
