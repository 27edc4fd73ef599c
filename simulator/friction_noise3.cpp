#include "simulator/friction_noise.h"

namespace vt {

namespace {

// Section 0: second-order high-pass (corner near 400 Hz at a 30 kHz step rate);
// section 1: first-order high-pass (b2 = a2 = 0). {b0, b1, b2} and {a0 (unused), a1, a2} per section.
constexpr float kB[6] = {0.9546f, -1.9093f, 0.9546f, 0.9974f, -0.9974f, 0.0f};
constexpr float kA[6] = {1.0f, -1.8977f, 0.9069f, 1.0f, -0.9067f, 0.0f};

constexpr float kLeak = 0.8f;  // pole of the leaky integrator

}  // namespace

float FrictionNoise3::draw(std::int32_t r, NoiseMemory& mem) const {
  // White input: r (rounded to float) times 2^-30 lies in [0, 2); minus 1.
  const float rf = static_cast<float>(r);
  mem.in[0][0] = static_cast<float>(static_cast<double>(rf) * max_ - 1.0);
  filter2(mem.in[0], mem.out[0], kA, kB);
  mem.in[1][0] = mem.out[0][0];
  filter2(mem.in[1], mem.out[1], kA + 3, kB + 3);
  mem.low = static_cast<float>(static_cast<double>(kLeak) * mem.low + mem.out[1][0]);
  return mem.low;
}

float FrictionNoise3::frictionNoise3(int flag, NoiseMemory& mem, RandomGenerator& rng) {
  if (flag == 0) {
    max_ = 0x1p-30f;
    for (int i = 0; i < 3; ++i) draw(rng.next(), mem);  // warm-up, discarded
  }
  return draw(rng.next(), mem);
}

}  // namespace vt
