#pragma once

#include "simulator/sim_config.h"

namespace vt {

/// Network constants derived from the configuration at initialisation. The
/// factors already carry the trapezoidal scaling (2/dt for inertances and air
/// compliances, dt/2 for wall stiffness) and the 2·sqrt(pi) of the wall area.
struct SimConstants {
  double dt_sim = 0;            ///< simulation step, s
  int deci = 0;                 ///< simulation steps per output sample
  double K_Bernoulli = 0;       ///< kinetic resistance factor Kc·ro, g/cm³
  double K_viscous_glotte = 0;  ///< glottal half-section viscous numerator (over A³)
  double K_viscous_const = 0;   ///< tube half-section viscous factor (times x/A²)
  double La = 0;                ///< half-section inertance factor (times x/A), companion form
  double Ca = 0;                ///< section compliance factor (times A·x), companion form
  double Rw = 0, Lw = 0, Cw = 0;  ///< wall resistance, mass, stiffness per sqrt(A)·x
  double Rt = 0, Lt = 0, Ct = 0;  ///< the same for the trachea walls (trachea on only)
  double Grad = 0;              ///< radiation conductance per cm² of opening
  double Srad = 0;              ///< radiation susceptance per cm of sqrt(opening), companion form
  double Kr = 0;                ///< radiated pressure at 100 cm per change of lip flow in one step
  double Rlungs = 0;            ///< lung resistance on the first junction row
};

/// pi as the network constants use it (single-precision 3.141593).
inline constexpr float kPi = 3.141593f;

/// Derives every network constant from `cfg` (rates, air, wall and radiation
/// parameters). The trachea constants are derived only when cfg.subGLTsystem
/// is 1, as at initialisation.
SimConstants derive_sim_constants(const SimConfig& cfg);

}  // namespace vt
