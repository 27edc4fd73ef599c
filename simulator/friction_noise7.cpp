#include "simulator/friction_noise.h"

namespace vt {

namespace {

// Four sections in cascade: {b0, b1, b2} and {a0 (unused), a1, a2} per section.
constexpr float kB[12] = {0.459015f, -0.91803f,  0.459015f, 1.711121f, -1.711121f, 0.0f,
                          0.893433f, -1.786865f, 0.893433f, 1.042725f, -2.085449f, 1.042725f};
constexpr float kA[12] = {1.0f, -0.83606f,  0.0f,      1.0f, -1.697388f, 0.724731f,
                          1.0f, -1.772522f, 0.801086f, 1.0f, -1.893677f, 0.924164f};

constexpr float kLeak = 0.8f;  // pole of the leaky integrator

}  // namespace

float FrictionNoise7::draw(std::int32_t r, NoiseMemory& mem) const {
  const float rf = static_cast<float>(r);
  mem.in[0][0] = static_cast<float>(static_cast<double>(rf) * max_ - 1.0);
  filter2(mem.in[0], mem.out[0], kA, kB);
  for (int s = 1; s < 4; ++s) {
    mem.in[s][0] = mem.out[s - 1][0];
    filter2(mem.in[s], mem.out[s], kA + 3 * s, kB + 3 * s);
  }
  mem.low = static_cast<float>(static_cast<double>(kLeak) * mem.low + mem.out[3][0]);
  return mem.low;
}

float FrictionNoise7::frictionNoise7(int flag, NoiseMemory& mem, RandomGenerator& rng) {
  if (flag == 0) {
    max_ = 0x1p-30f;
    for (int i = 0; i < 7; ++i) draw(rng.next(), mem);  // warm-up, discarded
  }
  return draw(rng.next(), mem);
}

}  // namespace vt
