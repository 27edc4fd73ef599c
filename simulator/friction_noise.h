#pragma once

#include <cstdint>

#include "simulator/random_generator.h"

namespace vt {

/// Filter memories of one noise source: input and output histories of up to
/// four second-order sections ([current, previous, the one before]) and the
/// leaky integrator's state, which is also the generator's last result.
struct NoiseMemory {
  float in[4][3] = {};
  float out[4][3] = {};
  float low = 0.0f;
};

/// One direct-form-I second-order section: computes y[0] from the current input
/// x[0] and the histories, then shifts both histories. a = {a0 (unused), a1, a2},
/// b = {b0, b1, b2}. The sum is formed in double precision and stored in float.
inline void filter2(float* x, float* y, const float* a, const float* b) {
  y[2] = y[1];
  y[1] = y[0];
  // Float products are exact in double; the five-term sum is rounded once to
  // double and then to float.
  const double acc = static_cast<double>(b[0]) * x[0] + static_cast<double>(b[1]) * x[1] +
                     static_cast<double>(b[2]) * x[2] - static_cast<double>(a[1]) * y[1] -
                     static_cast<double>(a[2]) * y[2];
  y[0] = static_cast<float>(acc);
  x[2] = x[1];
  x[1] = x[0];
}

/// White noise from a RandomGenerator, uniform in [-1, 1), shaped by a cascade
/// of second-order sections and a leaky integrator (pole 0.8). Holds only the
/// noise scale (2^-30, mapping 0 .. 2^31-1 onto [0, 2)); the filter memories
/// belong to the caller, one per source.
class ShapedNoise {
 public:
  /// Scale from a random integer to the white-noise input, 2^-30.
  float scale() const { return max_; }

 protected:
  /// flag 0: `warm_up` discarded draws; then (any flag) one draw, returned
  /// and left in mem.low.
  float next(int flag, int warm_up, int sections, const float* a, const float* b, NoiseMemory& mem,
             RandomGenerator& rng) {
    if (flag == 0) {
      max_ = 0x1p-30f;
      for (int i = 0; i < warm_up; ++i) draw(rng.next(), sections, a, b, mem);  // discarded
    }
    return draw(rng.next(), sections, a, b, mem);
  }
  /// One draw with the random integer r through `sections` sections of the
  /// tables a, b (three values per section).
  float draw(std::int32_t r, int sections, const float* a, const float* b, NoiseMemory& mem) const {
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
  static constexpr float kLeak = 0.8f;  ///< pole of the leaky integrator

 private:
  // Valid from construction, so that a generator used before its first
  // flag-0 call still produces noise instead of the filters' step response.
  float max_ = 0x1p-30f;
};

/// Coloured noise for a frication or aspiration source, about unit amplitude:
/// two sections (a low-frequency cut and a first-order high-pass).
class FrictionNoise3 : public ShapedNoise {
 public:
  /// flag 0: three warm-up draws; then (any flag) one draw. Returns the next
  /// noise value and leaves it in mem.low (a flag-0 call consumes four random
  /// numbers, any other call one).
  float frictionNoise3(int flag, NoiseMemory& mem, RandomGenerator& rng) {
    return next(flag, 3, 2, kA, kB, mem, rng);
  }
  /// One draw with the random integer r (0 .. 2^31-1) as the white-noise input.
  float draw(std::int32_t r, NoiseMemory& mem) const {
    return ShapedNoise::draw(r, 2, kA, kB, mem);
  }

  // {b0, b1, b2} and {a0 (unused), a1, a2} per section. Section 0: second-order
  // high-pass (corner near 400 Hz at a 30 kHz step rate); section 1:
  // first-order high-pass (b2 = a2 = 0).
  static constexpr float kB[6] = {0.9546f, -1.9093f, 0.9546f, 0.9974f, -0.9974f, 0.0f};
  static constexpr float kA[6] = {1.0f, -1.8977f, 0.9069f, 1.0f, -0.9067f, 0.0f};
};

/// Four-section variant of FrictionNoise3 (seven warm-up draws on flag 0, so
/// a flag-0 call consumes eight random numbers).
class FrictionNoise7 : public ShapedNoise {
 public:
  /// flag 0: seven warm-up draws; then one draw, returned and left in mem.low.
  float frictionNoise7(int flag, NoiseMemory& mem, RandomGenerator& rng);
  /// One draw with the random integer r (0 .. 2^31-1) as the white-noise input.
  float draw(std::int32_t r, NoiseMemory& mem) const;
};

}  // namespace vt
