#include "simulator/friction_noise.h"

namespace vt {

namespace {

// frictionNoise7 — four sections in cascade.
constexpr float kB7[12] = {0.459015f, -0.91803f,  0.459015f, 1.711121f, -1.711121f, 0.0f,
                           0.893433f, -1.786865f, 0.893433f, 1.042725f, -2.085449f, 1.042725f};
constexpr float kA7[12] = {1.0f, -0.83606f,  0.0f,      1.0f, -1.697388f, 0.724731f,
                           1.0f, -1.772522f, 0.801086f, 1.0f, -1.893677f, 0.924164f};

}  // namespace

float FrictionNoise7::draw(std::int32_t r, NoiseMemory& mem) const {
  return ShapedNoise::draw(r, 4, kA7, kB7, mem);
}

float FrictionNoise7::frictionNoise7(int flag, NoiseMemory& mem, RandomGenerator& rng) {
  return next(flag, 7, 4, kA7, kB7, mem, rng);
}

}  // namespace vt
