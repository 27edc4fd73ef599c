#include "synth/glottal_drive.h"

#include <climits>

namespace vt {

GlottalSample GlottalDrive::next(unsigned int j, float g0, float gp, float f0, float smpfrq,
                                 GlottalModel model) {
  if (j == nextPeriodStart_) {
    if (f0 > 0.0f) {
      const double q = static_cast<double>(smpfrq) / static_cast<double>(f0) + 0.5;
      period_ = q < 2147483647.0 ? static_cast<int>(q) : INT_MAX;
    } else {
      period_ = 0;
    }
    nextPeriodStart_ += static_cast<unsigned int>(period_);
  }
  GlottalSample s;
  s.period = period_;
  s.pulse = model == GlottalModel::Halvane ? halvane_.tick(gp, &period_) : fant_.tick(gp, &period_);
  const float raw = s.pulse + g0;
  s.Ag = static_cast<float>((0.8 * prevAg_ + raw) / 1.8);
  prevAg_ = s.Ag;
  return s;
}

}  // namespace vt
