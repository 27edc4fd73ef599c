#include "simulator/decimator.h"

#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vt {

namespace {
constexpr float kPi = 3.141593f;  // the six-decimal value the filter is designed with
}

int Decimator::decim_init(int deci) {
  // Fewer than one simulation step per output sample has no meaning (and
  // would divide by zero); design the filter for one step instead.
  if (deci < 1) deci = 1;

  count_decim = 0;
  const float w = static_cast<float>(2.0 * kPi / (p_decim - 1));  // Hamming window step
  for (float& v : v_decim) v = 0.0f;

  // Cut-off at 0.9 of the output Nyquist frequency, in radians per step.
  const float wc = static_cast<float>(0.9 * kPi / deci);
  for (int k = 0; k < q_decim - 1; ++k) {
    const float n = static_cast<float>(k - (q_decim - 1));  // -50 .. -1
    const float s =
        static_cast<float>(std::sin(static_cast<double>(wc) * n) / (static_cast<double>(kPi) * n));
    h_decim[k] = static_cast<float>(s * (0.54 - 0.46 * std::cos(static_cast<double>(w) * k)));
  }
  // Half the centre tap: the centre sample is summed twice.
  h_decim[q_decim - 1] = static_cast<float>(0.5 * wc / kPi);

  // Delay of the linear-phase filter in output samples.
  return static_cast<int>(0.5f + static_cast<float>(q_decim) / static_cast<float>(deci));
}

void Decimator::terms(double* t) const {
  // Symmetric evaluation: h[k] weighs the samples of ages k+1 and
  // (p_decim - k) mod p_decim, which lie 50 - k either side of age 51. With
  // the newest sample at c, age a lies at c + p_decim - a in the doubled
  // buffer (age 0 also at c).
  const int c = count_decim - 1;
  const float* down = v_decim + c + p_decim - 1;  // age 1, 2, ...
  const float* up = v_decim + c;                  // age 0, p_decim - 1, ...
  int k = 0;
#if defined(__SSE2__)
  // Two products per instruction: the same conversions, sum and product.
  for (; k + 2 <= q_decim; k += 2) {
    const __m128 d = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(down - k - 1)));
    const __m128 u = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(up + k)));
    const __m128 h = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(h_decim + k)));
    const __m128 dk = _mm_shuffle_ps(d, d, _MM_SHUFFLE(3, 2, 0, 1));  // ages k+1, k+2
    const __m128d p = _mm_mul_pd(_mm_add_pd(_mm_cvtps_pd(dk), _mm_cvtps_pd(u)), _mm_cvtps_pd(h));
    _mm_storeu_pd(t + k, p);
  }
#endif
  for (; k < q_decim; ++k) t[k] = (static_cast<double>(down[-k]) + up[k]) * h_decim[k];
}

}  // namespace vt
