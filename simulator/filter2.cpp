#include "simulator/friction_noise.h"

namespace vt {

void filter2(float* x, float* y, const float* a, const float* b) {
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

}  // namespace vt
