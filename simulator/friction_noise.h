#pragma once

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
/// b = {b0, b1, b2}.
void filter2(float* x, float* y, const float* a, const float* b);

/// Coloured noise for a frication or aspiration source: white noise from a
/// RandomGenerator through two second-order sections and a leaky integrator.
/// The object holds the noise scale, which a flag-0 call sets to 2^-30.
class FrictionNoise3 {
 public:
  /// flag 0: set the scale and run three warm-up draws; then (any flag) one draw.
  /// Returns the next noise value (about unit amplitude) and leaves it in mem.low.
  float frictionNoise3(int flag, NoiseMemory& mem, RandomGenerator& rng);
  float scale() const { return max_; }

 private:
  float max_ = 0.0f;  // noise scale, set by the first flag-0 call
};

/// Four-section variant of FrictionNoise3 (seven warm-up draws on flag 0).
class FrictionNoise7 {
 public:
  float frictionNoise7(int flag, NoiseMemory& mem, RandomGenerator& rng);
  float scale() const { return max_; }

 private:
  float max_ = 0.0f;
};

}  // namespace vt
