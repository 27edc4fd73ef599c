#include <cmath>

#include "artic/glottal_area.h"

namespace vt {

namespace {
constexpr float wp = 2.0f;  // exponent of the closing-phase time warp
}  // namespace

float HalvaneGlottalArea::tick(float amplitude, int* period) {
  const int P = *period;
  if (P > 0) {
    A = static_cast<float>(0.5 * amplitude);
    t1 = static_cast<int>(oq * static_cast<float>(P));
    t2 = static_cast<int>(cq * static_cast<float>(P));
    t3 = t1 + t2;
    a = t1 > 0 ? static_cast<float>(3.141593 / t1) : 0.0f;
    // Warp m -> m + b·m^wp maps the closing phase 0 … t2 onto 0 … t1, so the
    // closing cosine ends at a·t1 = pi. With t2 = 0 (P < 5) there is no
    // closing sample and b is never read.
    b = t2 > 0
            ? static_cast<float>((t1 - t2) / std::pow(static_cast<double>(static_cast<float>(t2)),
                                                      static_cast<double>(wp)))
            : 0.0f;
    *period = 0;
    n = 0;
  }

  if (n < static_cast<unsigned int>(t1)) {
    const double c = std::cos(static_cast<double>(a * static_cast<float>(n)));
    amp = static_cast<float>(A * (1.0 - c));
  } else if (n < static_cast<unsigned int>(t3)) {
    const float m = static_cast<float>(n - static_cast<unsigned int>(t1));
    const double warped = m + b * std::pow(static_cast<double>(m), static_cast<double>(wp));
    amp = static_cast<float>(A * (1.0 + std::cos(a * warped)));
  } else {
    amp = 0.0f;
  }
  ++n;
  return amp;
}

}  // namespace vt
