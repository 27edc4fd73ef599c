// Shaped noise: white-input mapping, second-order sections, warm-up and draw
// order, and the steady output of both generators.
#include "simulator/friction_noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
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

// 20000 values of each generator: shaped noise of about unit amplitude (not
// a decaying transient), pinned bit for bit (FNV-1a of the float patterns;
// the values were checked against an extended-precision model of the recurrence).
TEST(FrictionNoise, BothGeneratorsGiveSteadyNoise) {
  for (int variant : {3, 7}) {
    vt::RandomGenerator rng;
    vt::FrictionNoise3 g3;
    vt::FrictionNoise7 g7;
    vt::NoiseMemory mem;
    double energy = 0.0;
    std::uint64_t hash = 1469598103934665603ull;
    for (int i = 0; i < 20000; ++i) {
      const int flag = i == 0 ? 0 : 1;
      const float v = variant == 3 ? g3.frictionNoise3(flag, mem, rng) : g7.frictionNoise7(flag, mem, rng);
      energy += static_cast<double>(v) * v;
      std::uint32_t bits;
      std::memcpy(&bits, &v, 4);
      hash = (hash ^ bits) * 1099511628211ull;
    }
    const double rms = std::sqrt(energy / 20000);
    EXPECT_GT(rms, 0.1) << variant;
    EXPECT_LT(rms, 10.0) << variant;
    EXPECT_EQ(hash, variant == 3 ? 0x5f2721eabb420428ull : 0xec94d6afd8fde3b0ull) << std::hex << hash;
  }
}

}  // namespace
