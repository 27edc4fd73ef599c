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
  /// Starts the sequence of a process that never seeds (same as seed(1)).
  RandomGenerator();
  /// Restarts the sequence as after seeding with `seed` (1 = never seeded,
  /// 0 is taken as 1).
  void seed(std::uint32_t seed);
  /// Next value, 0 .. 2^31-1.
  std::int32_t next() {
    const std::uint32_t val = state_[front_] + state_[rear_];  // modulo 2^32
    state_[front_] = val;
    if (++front_ >= kDegree) {
      front_ = 0;
      ++rear_;
    } else if (++rear_ >= kDegree) {
      rear_ = 0;
    }
    return static_cast<std::int32_t>(val >> 1);  // drop the least random bit
  }

 private:
  static constexpr int kDegree = 31;     // words of feedback state
  static constexpr int kSeparation = 3;  // distance between the two taps
  std::uint32_t state_[kDegree] = {};
  int front_ = 0;  // tap that receives the sum
  int rear_ = 0;   // tap added to it
};

}  // namespace vt
