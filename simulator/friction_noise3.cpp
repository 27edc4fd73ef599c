#include "simulator/friction_noise.h"

namespace vt {

namespace {

// Section 0: second-order high-pass (corner near 400 Hz at a 30 kHz step rate);
// section 1: first-order high-pass (b2 = a2 = 0). {b0, b1, b2} and {a0 (unused), a1, a2} per section.
constexpr float kB[6] = {0.9546f, -1.9093f, 0.9546f, 0.9974f, -0.9974f, 0.0f};
constexpr float kA[6] = {1.0f, -1.8977f, 0.9069f, 1.0f, -0.9067f, 0.0f};

}  // namespace

float FrictionNoise3::draw(std::int32_t r, NoiseMemory& mem) const {
  return ShapedNoise::draw(r, 2, kA, kB, mem);
}

float FrictionNoise3::frictionNoise3(int flag, NoiseMemory& mem, RandomGenerator& rng) {
  return next(flag, 3, 2, kA, kB, mem, rng);
}

}  // namespace vt
