#pragma once

#include <cstdint>

namespace vt {

/// Uniform random integers in 0 .. 2^31-1 that reproduce, value for value, the
/// sequence the GNU C library's rand() gives a process that never seeds it
/// (additive feedback generator, 31-word state seeded with 1). Each simulator
/// owns one, so instances and other code in the host process never disturb
/// each other's sequence.
class RandomGenerator {
 public:
  RandomGenerator();
  /// Restarts the sequence as after seeding with `seed` (1 = never seeded).
  void seed(std::uint32_t seed);
  /// Next value, 0 .. 2^31-1.
  std::int32_t next();

 private:
  std::int32_t state_[34];
  int front_ = 0;
  int rear_ = 0;
};

}  // namespace vt
