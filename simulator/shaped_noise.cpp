#include "simulator/friction_noise.h"

namespace vt {

namespace {
constexpr float kLeak = 0.8f;  // pole of the leaky integrator
}

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

}  // namespace vt
