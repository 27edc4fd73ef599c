#include "simulator/friction_noise.h"

namespace vt {

namespace {

constexpr float kLeak = 0.8f;  // pole of the leaky integrator

// {b0, b1, b2} and {a0 (unused), a1, a2} per section.
// frictionNoise3 — section 0: second-order high-pass (corner near 400 Hz at a
// 30 kHz step rate); section 1: first-order high-pass (b2 = a2 = 0).
constexpr float kB3[6] = {0.9546f, -1.9093f, 0.9546f, 0.9974f, -0.9974f, 0.0f};
constexpr float kA3[6] = {1.0f, -1.8977f, 0.9069f, 1.0f, -0.9067f, 0.0f};
// frictionNoise7 — four sections in cascade.
constexpr float kB7[12] = {0.459015f, -0.91803f,  0.459015f, 1.711121f, -1.711121f, 0.0f,
                           0.893433f, -1.786865f, 0.893433f, 1.042725f, -2.085449f, 1.042725f};
constexpr float kA7[12] = {1.0f, -0.83606f,  0.0f,      1.0f, -1.697388f, 0.724731f,
                           1.0f, -1.772522f, 0.801086f, 1.0f, -1.893677f, 0.924164f};

}  // namespace

float ShapedNoise::draw(std::int32_t r, int sections, const float* a, const float* b,
                        NoiseMemory& mem) const {
  // White input: r (rounded to float) times 2^-30 lies in [0, 2); minus 1.
  const float rf = static_cast<float>(r);
  mem.in[0][0] = static_cast<float>(static_cast<double>(rf) * max_ - 1.0);
  filter2(mem.in[0], mem.out[0], a, b);
  for (int s = 1; s < sections; ++s) {
    mem.in[s][0] = mem.out[s - 1][0];
    filter2(mem.in[s], mem.out[s], a + 3 * s, b + 3 * s);
  }
  mem.low = static_cast<float>(static_cast<double>(kLeak) * mem.low + mem.out[sections - 1][0]);
  return mem.low;
}

float ShapedNoise::next(int flag, int warm_up, int sections, const float* a, const float* b,
                        NoiseMemory& mem, RandomGenerator& rng) {
  if (flag == 0) {
    max_ = 0x1p-30f;
    for (int i = 0; i < warm_up; ++i) draw(rng.next(), sections, a, b, mem);  // discarded
  }
  return draw(rng.next(), sections, a, b, mem);
}

float FrictionNoise3::draw(std::int32_t r, NoiseMemory& mem) const {
  return ShapedNoise::draw(r, 2, kA3, kB3, mem);
}

float FrictionNoise3::frictionNoise3(int flag, NoiseMemory& mem, RandomGenerator& rng) {
  return next(flag, 3, 2, kA3, kB3, mem, rng);
}

float FrictionNoise7::draw(std::int32_t r, NoiseMemory& mem) const {
  return ShapedNoise::draw(r, 4, kA7, kB7, mem);
}

float FrictionNoise7::frictionNoise7(int flag, NoiseMemory& mem, RandomGenerator& rng) {
  return next(flag, 7, 4, kA7, kB7, mem, rng);
}

}  // namespace vt
