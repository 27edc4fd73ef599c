#pragma once

#include <optional>

#include "artic/glottal_area.h"
#include "synth/synthesis_options.h"

namespace vt {

/// What the glottal drive did at one output sample.
struct GlottalSample {
  int period = 0;      ///< period (samples) handed to the pulse model; 0 unless a pulse starts here
  float pulse = 0.0f;  ///< pulse area from the pulse model, cm²
  float Ag = 0.0f;     ///< smoothed glottal area for the network, cm²
};

/// The glottal area the network sees, one output sample at a time: at each
/// period start a pulse of length fs/F0 (whole samples, halves up) and the
/// current amplitude, plus the baseline area, through the unity-gain low-pass
/// Ag = (0.8·Ag_prev + raw) / 1.8.
///
/// The pulse under way outlives a synthesis (as a loaded synthesiser's
/// does); the period schedule and the low-pass restart with every synthesis.
class GlottalDrive {
 public:
  /// A new synthesis from sample 0: first period start at 0, low-pass at rest.
  void restart() {
    nextPeriodStart_ = 0;
    period_ = 0;
    prevAg_ = 0.0f;
  }
  /// Opening and closing phases as fractions of the period for both pulse
  /// models; absent: each model's own quotient.
  void setQuotients(std::optional<float> open, std::optional<float> close) {
    fant_.setQuotients(open.value_or(FantGlottalArea::kOpenQuotient),
                       close.value_or(FantGlottalArea::kCloseQuotient));
    halvane_.setQuotients(open.value_or(HalvaneGlottalArea::kOpenQuotient),
                          close.value_or(HalvaneGlottalArea::kCloseQuotient));
  }
  /// Delays the next period start to sample j (a voiceless F0 segment ending at j).
  void holdUntil(unsigned int j) { nextPeriodStart_ = j; }
  /// Glottal area of output sample j (0, 1, 2, … without gaps) from the
  /// baseline area g0 (cm²), pulse amplitude gp (cm²) and F0 (Hz; <= 0 starts
  /// no pulse) at smpfrq Hz, with the pulse shape of `model`.
  GlottalSample next(unsigned int j, float g0, float gp, float f0, float smpfrq,
                     GlottalModel model);

 private:
  FantGlottalArea fant_;
  HalvaneGlottalArea halvane_;
  unsigned int nextPeriodStart_ = 0;
  int period_ = 0;
  float prevAg_ = 0.0f;
};

}  // namespace vt
