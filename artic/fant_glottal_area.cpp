#include <cmath>

#include "artic/glottal_area.h"

namespace vt {

float FantGlottalArea::tick(float amplitude, int* period) {
  const int P = *period;
  if (P > 0) {
    A = amplitude;
    // Products rounded to float before truncation: 0.26f · 100 is exactly 26.
    t1 = static_cast<int>(oq * static_cast<float>(P));
    t2 = static_cast<int>(cq * static_cast<float>(P));
    t3 = t1 + t2;
    if (t1 > 0) {
      a = static_cast<float>(3.1415 / t1);
      // b makes the closing cosine reach zero exactly t2 samples after the peak.
      const double ct2 = std::cos(static_cast<double>(a * static_cast<float>(t2)));
      b = static_cast<float>(1.0 / (1.0 - ct2));
    } else {
      // P = 1 or 2: no opening and no closing sample (t2 <= t1 = 0); the pulse
      // is closed throughout and a, b are never read.
      a = 0.0f;
      b = 0.0f;
    }
    *period = 0;
    n = 0;
  }

  if (n < static_cast<unsigned int>(t1)) {
    const double c = std::cos(static_cast<double>(a * static_cast<float>(n)));
    amp = static_cast<float>(0.5 * A * (1.0 - c));
  } else if (n < static_cast<unsigned int>(t3)) {
    const float m = static_cast<float>(n - static_cast<unsigned int>(t1));
    const double c = std::cos(static_cast<double>(a * m));
    amp = static_cast<float>(A * (1.0 - b + b * c));
  } else {
    amp = 0.0f;
  }
  ++n;
  return amp;
}

}  // namespace vt
