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
  float decim(int flag, float x);

  /// The q_decim coefficients: [k] is the tap 50 - k steps from the centre
  /// (k = 0 outermost), [50] half the centre tap.
  const float* coefficients() const { return h_decim; }

 private:
  float h_decim[q_decim] = {};
  float v_decim[p_decim] = {};
  int count_decim = 0;
};

}  // namespace vt
