#pragma once

#include "simulator/sim_config.h"

namespace vt {

/// Network constants derived from the configuration at initialisation. The
/// factors already carry the trapezoidal scaling (2/dt for inertances and air
/// compliances, dt/2 for wall stiffness) and the 2·sqrt(pi) of the wall area.
struct SimConstants {
  double dt_sim = 0;  ///< simulation step, s
  int deci = 0;       ///< simulation steps per output sample
  /// Kc·ro, g/cm³: times U/A² (cm³/s over cm⁴) the kinetic resistance, dyn·s/cm⁵.
  double K_Bernoulli = 0;
  /// 12·lg²·xg·mu/2, dyn·s·cm: over A³ (cm⁶) the viscous resistance of half
  /// the glottal slit, dyn·s/cm⁵.
  double K_viscous_glotte = 0;
  /// 8·pi·mu/2, dyn·s/cm²: times x/A² (1/cm³) the viscous resistance of half a
  /// tube section, dyn·s/cm⁵.
  double K_viscous_const = 0;
  /// (ro/2)·(2/dt), g/(cm³·s): times x/A (1/cm) the companion impedance of
  /// half a section's air mass, dyn·s/cm⁵.
  double La = 0;
  /// (2/dt)/(c²·ro), cm·s/g: times A·x (cm³) the companion admittance of a
  /// section's air volume, cm⁵/(dyn·s).
  double Ca = 0;
  /// Wall resistance wall_resi/(2·sqrt(pi)), dyn·s/cm³; wall mass
  /// (2/dt)·wall_mass/(2·sqrt(pi)), g/(cm²·s); wall stiffness
  /// (dt/2)·wall_comp/(2·sqrt(pi)), dyn·s/cm³: each over sqrt(A)·x (cm²) an
  /// impedance of the section's wall branch, dyn·s/cm⁵.
  double Rw = 0, Lw = 0, Cw = 0;
  double Rt = 0, Lt = 0, Ct = 0;  ///< the same for the trachea walls (trachea on only)
  /// 9·pi²/(128·ro·c), cm²·s/g: times the opening area (cm²) the radiation
  /// conductance, cm⁵/(dyn·s).
  double Grad = 0;
  /// 3·pi·sqrt(pi)·(dt/2)/(8·ro), cm³·s/g: times sqrt(opening area) (cm) the
  /// companion admittance of the radiation inertance, cm⁵/(dyn·s).
  double Srad = 0;
  /// ro·simfrq/(2·pi·100 cm), g/(cm⁴·s): times the change of the radiated flow
  /// over one step (cm³/s) the pressure radiated to 100 cm, dyn/cm².
  double Kr = 0;
  double Rlungs = 0;  ///< lung resistance on the first junction row, dyn·s/cm⁵
};

/// pi as the network constants use it (single-precision 3.141593).
inline constexpr float kPi = 3.141593f;

/// Derives every network constant from `cfg` (rates, air, wall and radiation
/// parameters). The trachea constants are derived only when cfg.subGLTsystem
/// is 1, as at initialisation.
SimConstants derive_sim_constants(const SimConfig& cfg);

}  // namespace vt
