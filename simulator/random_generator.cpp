#include "simulator/random_generator.h"

namespace vt {

RandomGenerator::RandomGenerator() { seed(1); }

void RandomGenerator::seed(std::uint32_t seed) {
  if (seed == 0) seed = 1;  // a zero word would make the whole state zero
  state_[0] = seed;
  // Fill the state with the multiplicative congruential sequence
  // word = 16807 * word mod (2^31 - 1), evaluated with Schrage's
  // decomposition so that no product exceeds 31 bits.
  // The word is a signed 32-bit value, so seeds of 2^31 and above start
  // from a negative word, exactly as the C library does.
  std::int32_t word = static_cast<std::int32_t>(seed);
  for (int i = 1; i < kDegree; ++i) {
    const std::int64_t hi = word / 127773;
    const std::int64_t lo = word % 127773;
    word = static_cast<std::int32_t>(16807 * lo - 2836 * hi);
    if (word < 0) word += 2147483647;
    state_[i] = static_cast<std::uint32_t>(word);
  }
  front_ = kSeparation;
  rear_ = 0;
  // Discard ten rounds of the state so the seed's linear structure is mixed out.
  for (int i = 0; i < 10 * kDegree; ++i) next();
}

}  // namespace vt
