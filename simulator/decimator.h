#pragma once

namespace vt {

/// Windowed-sinc (Hamming) linear-phase FIR low-pass and decimator from the
/// simulation rate to the output rate: 101 taps, cut-off at 0.9 of the output
/// Nyquist frequency, evaluated only on the steps that produce an output sample.
class Decimator {
 public:
  static constexpr int p_decim = 101;  ///< filter length in taps (odd), buffer size
  static constexpr int q_decim = 51;   ///< distinct coefficients, (p_decim + 1) / 2

  /// Designs the filter for `deci` simulation steps per output sample (>= 1;
  /// values below 1 are taken as 1), clears the buffer; returns the filter
  /// delay in output samples, (int)(0.5 + 51/deci): 17 for deci 3.
  int decim_init(int deci);
  /// Stores one simulation-step value x; with flag 1 returns the filtered output
  /// sample, otherwise 0.0.
  float decim(int flag, float x) {
    push(x);
    if (flag != 1) return 0.0f;
    double t[q_decim];
    terms(t);
    return sum(t);
  }

  /// Stores one simulation-step value x as the newest sample.
  void push(float x) {
    if (count_decim == p_decim) count_decim = 0;
    const int c = count_decim;
    v_decim[c] = x;
    v_decim[c + p_decim] = x;
    count_decim = c + 1;
  }
  /// The output sample's products over the stored samples, in the order of
  /// summation: t[k] = (sample of age k+1 + sample of age (p_decim - k) mod
  /// p_decim) · h[k], formed in double precision. They are independent of each
  /// other; only their sum is a chain.
  void terms(double* t) const;
  /// The output sample from its products: t[0], t[1], ... added in turn, each
  /// partial sum rounded to single precision.
  static float sum(const double* t) {
    float acc = 0.0f;
    for (int k = 0; k < q_decim; ++k) acc = static_cast<float>(acc + t[k]);
    return acc;
  }

  /// The q_decim coefficients: [k] is the tap 50 - k steps from the centre
  /// (k = 0 outermost), [50] half the centre tap.
  const float* coefficients() const { return h_decim; }

 private:
  float h_decim[q_decim] = {};
  // The last p_decim samples, each stored twice (at i and i + p_decim), so
  // that every window of them is one contiguous run.
  float v_decim[2 * p_decim] = {};
  int count_decim = 0;
};

}  // namespace vt
