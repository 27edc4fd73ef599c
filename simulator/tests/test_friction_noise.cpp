#include "simulator/friction_noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

std::vector<std::int32_t> Sequence(int n) {
  vt::RandomGenerator g;
  std::vector<std::int32_t> v;
  for (int i = 0; i < n; ++i) v.push_back(g.next());
  return v;
}

// Independent model of the noise recurrence: every stored value rounded to
// float, every sum formed in extended precision.
// Its input histories hold [last input, one before, ...], so element [0] is
// the previous input when the next draw starts.
struct ReferenceNoise {
  const float* b;
  const float* a;
  int sections;
  float x[4][3] = {};
  float y[4][3] = {};
  float low = 0.0f;

  float Draw(std::int32_t r) {
    float in = static_cast<float>(static_cast<long double>(static_cast<float>(r)) / 1073741824.0L - 1.0L);
    for (int s = 0; s < sections; ++s) {
      const float* bs = b + 3 * s;
      const float* as = a + 3 * s;
      const float prev1 = y[s][0], prev2 = y[s][1];
      const long double sum = static_cast<long double>(bs[0]) * in + static_cast<long double>(bs[1]) * x[s][0] +
                              static_cast<long double>(bs[2]) * x[s][1] - static_cast<long double>(as[1]) * prev1 -
                              static_cast<long double>(as[2]) * prev2;
      x[s][2] = x[s][1];
      x[s][1] = x[s][0];
      x[s][0] = in;
      y[s][2] = prev2;
      y[s][1] = prev1;
      y[s][0] = static_cast<float>(sum);
      in = y[s][0];
    }
    low = static_cast<float>(static_cast<long double>(0.8f) * low + in);
    return low;
  }
};

constexpr float kB3[6] = {0.9546f, -1.9093f, 0.9546f, 0.9974f, -0.9974f, 0.0f};
constexpr float kA3[6] = {1.0f, -1.8977f, 0.9069f, 1.0f, -0.9067f, 0.0f};
constexpr float kB7[12] = {0.459015f, -0.91803f,  0.459015f, 1.711121f, -1.711121f, 0.0f,
                           0.893433f, -1.786865f, 0.893433f, 1.042725f, -2.085449f, 1.042725f};
constexpr float kA7[12] = {1.0f, -0.83606f,  0.0f,      1.0f, -1.697388f, 0.724731f,
                           1.0f, -1.772522f, 0.801086f, 1.0f, -1.893677f, 0.924164f};

}  // namespace

TEST(FrictionNoise, WhiteInputMapsRandomIntegersOntoMinusOneToOne) {
  vt::FrictionNoise3 gen;
  EXPECT_EQ(gen.scale(), 9.313225746154785e-10f);
  vt::NoiseMemory mem;
  gen.draw(0, mem);
  EXPECT_EQ(mem.in[0][0], -1.0f);  // current input kept in x[0] ...
  EXPECT_EQ(mem.in[0][1], -1.0f);  // ... and shifted into the history
  gen.draw(1 << 30, mem);
  EXPECT_EQ(mem.in[0][0], 0.0f);
  EXPECT_EQ(mem.in[0][2], -1.0f);
  // The largest random integers round to 2^31 in float and give +1.0.
  gen.draw(2147483647, mem);
  EXPECT_EQ(mem.in[0][0], 1.0f);
  gen.draw(3, mem);
  EXPECT_EQ(mem.in[0][0], static_cast<float>(3.0 / 1073741824.0 - 1.0));
}

TEST(FrictionNoise, Filter2ComputesDirectFormOneAndShiftsHistories) {
  const float a[3] = {1.0f, -0.5f, 0.25f};
  const float b[3] = {2.0f, 3.0f, 4.0f};
  float x[3] = {1.0f, 0.0f, 0.0f};
  float y[3] = {0.0f, 0.0f, 0.0f};
  vt::filter2(x, y, a, b);
  EXPECT_EQ(y[0], 2.0f);
  x[0] = 0.0f;
  vt::filter2(x, y, a, b);
  EXPECT_EQ(y[0], 3.0f + 0.5f * 2.0f);  // b1 * 1 - a1 * 2
  x[0] = 0.0f;
  vt::filter2(x, y, a, b);
  EXPECT_EQ(y[0], 4.0f + 0.5f * 4.0f - 0.25f * 2.0f);
  EXPECT_EQ(y[1], 4.0f);
  EXPECT_EQ(y[2], 2.0f);
  EXPECT_EQ(x[1], 0.0f);
  EXPECT_EQ(x[2], 0.0f);

  // First-order section (b2 = a2 = 0): the histories still shift by one.
  const float a1[3] = {1.0f, -0.9067f, 0.0f};
  const float b1[3] = {0.9974f, -0.9974f, 0.0f};
  float u[3] = {0.5f, 7.0f, 9.0f};
  float v[3] = {1.0f, 2.0f, 3.0f};
  vt::filter2(u, v, a1, b1);
  EXPECT_EQ(u[1], 0.5f);
  EXPECT_EQ(u[2], 7.0f);
  EXPECT_EQ(v[1], 1.0f);
  EXPECT_EQ(v[2], 2.0f);
  EXPECT_EQ(v[0], static_cast<float>(0.9974f * 0.5 - 0.9974f * 7.0 + 0.9067f * 1.0));
}

TEST(FrictionNoise, InitialisingCallConsumesWarmUpDrawsAndLeavesResultInIntegrator) {
  const std::vector<std::int32_t> seq = Sequence(32);
  {
    vt::RandomGenerator rng;
    vt::FrictionNoise3 gen;
    vt::NoiseMemory mem, ref;
    const float v = gen.frictionNoise3(0, mem, rng);
    EXPECT_EQ(v, mem.low);
    float expect = 0.0f;
    for (int i = 0; i < 4; ++i) expect = gen.draw(seq[i], ref);
    EXPECT_EQ(v, expect);
    EXPECT_EQ(rng.next(), seq[4]);  // four numbers consumed
    // Flag 1 draws exactly one number.
    EXPECT_EQ(gen.frictionNoise3(1, mem, rng), gen.draw(seq[5], ref));
    EXPECT_EQ(rng.next(), seq[6]);
  }
  {
    vt::RandomGenerator rng;
    vt::FrictionNoise7 gen;
    vt::NoiseMemory mem, ref;
    const float v = gen.frictionNoise7(0, mem, rng);
    EXPECT_EQ(v, mem.low);
    float expect = 0.0f;
    for (int i = 0; i < 8; ++i) expect = gen.draw(seq[i], ref);
    EXPECT_EQ(v, expect);
    EXPECT_EQ(rng.next(), seq[8]);  // eight numbers consumed
  }
}

TEST(FrictionNoise, AlternatingSourcesEachSeeEveryOtherNumber) {
  const std::vector<std::int32_t> seq = Sequence(208);
  vt::RandomGenerator rng;
  vt::FrictionNoise3 gen;
  vt::NoiseMemory constriction, glottis, refC, refG;
  for (int i = 0; i < 100; ++i) {
    const float c = gen.frictionNoise3(1, constriction, rng);
    const float g = gen.frictionNoise3(1, glottis, rng);
    ASSERT_EQ(c, gen.draw(seq[2 * i], refC)) << i;
    ASSERT_EQ(g, gen.draw(seq[2 * i + 1], refG)) << i;
  }
  // Swapping the call order swaps what each source hears.
  vt::RandomGenerator rng2;
  vt::NoiseMemory c2, g2;
  const float g = gen.frictionNoise3(1, g2, rng2);
  const float c = gen.frictionNoise3(1, c2, rng2);
  vt::NoiseMemory freshG, freshC;
  EXPECT_EQ(g, gen.draw(seq[0], freshG));
  EXPECT_EQ(c, gen.draw(seq[1], freshC));
}

TEST(FrictionNoise, GeneratorIsNoiseBeforeAnyInitialisingCall) {
  // A generator that has never seen flag 0 already has the 2^-30 scale, so
  // its first values follow the random input rather than a step response.
  const std::vector<std::int32_t> seq = Sequence(4);
  vt::RandomGenerator rng;
  vt::FrictionNoise3 gen;
  vt::NoiseMemory mem;
  gen.frictionNoise3(1, mem, rng);
  EXPECT_EQ(mem.in[0][0], static_cast<float>(static_cast<float>(seq[0]) / 1073741824.0 - 1.0));
  EXPECT_NE(mem.in[0][0], -1.0f);
}

TEST(FrictionNoise, OutputsMatchIndependentRecurrence) {
  for (int variant : {3, 7}) {
    vt::RandomGenerator rng, refRng;
    vt::FrictionNoise3 g3;
    vt::FrictionNoise7 g7;
    vt::NoiseMemory mem;
    ReferenceNoise ref{variant == 3 ? kB3 : kB7, variant == 3 ? kA3 : kA7, variant == 3 ? 2 : 4};
    double energy = 0.0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
      const int flag = i == 0 ? 0 : 1;
      const float v = variant == 3 ? g3.frictionNoise3(flag, mem, rng) : g7.frictionNoise7(flag, mem, rng);
      float expect = 0.0f;
      for (int k = 0; k < (flag == 0 ? variant + 1 : 1); ++k) expect = ref.Draw(refRng.next());
      ASSERT_EQ(v, expect) << "variant " << variant << " value " << i;
      energy += static_cast<double>(v) * v;
    }
    // Shaped noise of roughly unit amplitude, not a decaying transient.
    const double rms = std::sqrt(energy / n);
    EXPECT_GT(rms, 0.1) << variant;
    EXPECT_LT(rms, 10.0) << variant;
  }
}
