#include <cmath>

#include "artic/interpolVTAF.h"

namespace vt {

long double coscos(int a, int b) {
  constexpr double pi = 3.141593;
  // A segment without length has already reached its end.
  if (b == 0) return 1.0L;
  // Period of the end-flattening ripple: a fifth of the segment.
  const int g = static_cast<int>(static_cast<float>(b) * 0.2f);
  double r = std::cos(a * (pi / b));
  // Segments shorter than 5 samples have no room for the ripple (g = 0).
  if (g != 0) {
    if (a <= g) r = r + (1.0 - std::cos(a * (2.0 * pi / g))) * 0.01 / 2.0;
    // Offset into the closing ripple, in 64 bits: far past a segment's end
    // (a near INT_MAX) a + g would overflow an int.
    const long long aEnd = static_cast<long long>(a) + g - b;
    if (a > b - g)
      r = r - (1.0 - std::cos(static_cast<double>(aEnd) * (2.0 * pi / g))) * 0.01 / 2.0;
  }
  return r;
}

}  // namespace vt
