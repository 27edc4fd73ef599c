// Noise sources: rand() of a process that never seeds (C defines it as the
// sequence after srand(1)); shaped noise: scale, warm-up, steady output.
#include "simulator/friction_noise.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "simulator/reference_drive.h"

namespace {

TEST(RandomGenerator, MatchesTheCLibraryRand) {
  std::vector<int> ref(200000);  // the C library's sequence
  std::srand(1);
  for (int& v : ref) v = std::rand();
  EXPECT_EQ(ref[0], 1804289383);
  vt::RandomGenerator gen, other;
  for (int i = 0; i < 100000; ++i) {
    ASSERT_EQ(gen.next(), ref[2 * i]) << i;
    ASSERT_EQ(gen.next(), ref[2 * i + 1]) << i;
    ASSERT_EQ(other.next(), ref[i]) << i;  // each keeps its own sequence
  }
}

TEST(FrictionNoise, ScaleAndWarmUp) {
  vt::FrictionNoise3 gen;  // valid scale before any flag-0 call: noise, not a step response
  EXPECT_EQ(gen.scale(), 0x1p-30f);
  vt::RandomGenerator seq, rng, rng7;
  std::int32_t r[9];
  for (auto& v : r) v = seq.next();
  vt::NoiseMemory mem, ref;
  const float v = gen.frictionNoise3(0, mem, rng);  // three warm-up draws, then one
  for (int i = 0; i < 3; ++i) gen.draw(r[i], ref);
  EXPECT_TRUE(v == gen.draw(r[3], ref) && v == mem.low);
  EXPECT_EQ(rng.next(), r[4]);
  EXPECT_EQ(vt::FrictionNoise7{}.frictionNoise7(0, mem, rng7), mem.low);
  EXPECT_EQ(rng7.next(), r[8]);  // seven warm-up draws, then one
}

// 20000 values of each generator: noise of about unit amplitude (not a
// decaying transient), pinned bit for bit.
TEST(FrictionNoise, BothGeneratorsGiveSteadyNoise) {
  for (int variant : {3, 7}) {
    vt::RandomGenerator rng;
    vt::FrictionNoise3 g3;
    vt::FrictionNoise7 g7;
    vt::NoiseMemory mem;
    std::vector<float> v(20000);
    double energy = 0.0;
    for (int i = 0; i < 20000; ++i) {
      v[i] = variant == 3 ? g3.frictionNoise3(i > 0, mem, rng) : g7.frictionNoise7(i > 0, mem, rng);
      energy += static_cast<double>(v[i]) * v[i];
    }
    EXPECT_TRUE(energy > 0.01 * 20000 && energy < 100.0 * 20000) << variant;  // rms 0.1 .. 10
    EXPECT_EQ(vt::drive::bit_hash(v), variant == 3 ? 0x478da812cd07683full : 0x12a634051540bb0eull);
  }
}

}  // namespace
