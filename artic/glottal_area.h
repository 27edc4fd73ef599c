#pragma once

namespace vt {

/// Fant glottal pulse: raised-cosine opening (0.36 of the period), cosine
/// closing (0.26) that reaches zero at its end, closed for the rest.
/// The object holds the pulse under way; it survives from one synthesis to the next.
class FantGlottalArea {
 public:
  /// Glottal pulse area of this sample, cm² (same unit as amplitude). A period > 0
  /// (samples) starts a new pulse of that length with this amplitude and is
  /// reset to 0; with period <= 0 the current pulse continues.
  float tick(float amplitude, int* period);
  /// Back to the state at load: no pulse, area 0, the model's own quotients.
  void clear() { *this = FantGlottalArea(); }
  /// Opening and closing phase of the pulses that start from now on, as
  /// fractions of the period (0..1; model defaults 0.36 and 0.26).
  void setQuotients(float open, float close) {
    oq = open;
    cq = close;
  }
  static constexpr float kOpenQuotient = 0.36f;   ///< default opening phase
  static constexpr float kCloseQuotient = 0.26f;  ///< default closing phase

 private:
  float oq = kOpenQuotient;   // opening phase, fraction of the period
  float cq = kCloseQuotient;  // closing phase, fraction of the period
  float A = 0.0f;             // amplitude of the current pulse
  int t1 = 0;                 // opening phase, samples
  int t2 = 0;                 // closing phase, samples
  int t3 = 0;                 // t1 + t2: sample at which the glottis closes
  float a = 0.0f;             // angular rate of the opening cosine, rad/sample
  float b = 0.0f;             // closing-branch coefficient
  unsigned int n = 0;         // samples since the pulse start
  float amp = 0.0f;           // area last returned
};

/// Second glottal pulse model: opening half of the period, time-warped closing
/// (0.2 of the period) that falls faster towards its end.
class HalvaneGlottalArea {
 public:
  /// Same contract as FantGlottalArea::tick.
  float tick(float amplitude, int* period);
  void clear() { *this = HalvaneGlottalArea(); }
  /// Opening and closing phase of the pulses that start from now on, as
  /// fractions of the period (0..1; model defaults 0.5 and 0.2).
  void setQuotients(float open, float close) {
    oq = open;
    cq = close;
  }
  static constexpr float kOpenQuotient = 0.5f;   ///< default opening phase
  static constexpr float kCloseQuotient = 0.2f;  ///< default closing phase

 private:
  float oq = kOpenQuotient;
  float cq = kCloseQuotient;
  float A = 0.0f;
  int t1 = 0;
  int t2 = 0;
  int t3 = 0;
  float a = 0.0f;
  float b = 0.0f;
  unsigned int n = 0;
  float amp = 0.0f;
};

}  // namespace vt
