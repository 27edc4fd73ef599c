#pragma once

#include "simulator/constriction.h"
#include "simulator/sim_constants.h"
#include "simulator/td_acoustic_elements.h"

namespace vt {

/// Quasi-stationary flow through the glottis and the narrowest section in
/// series under the full lung pressure, and the resistances linearised
/// around it (dyn·s/cm⁵; flow in cm³/s).
struct QuasiStationaryFlow {
  double Rg_v = 0;    ///< viscous resistance of the glottis (both glottal element records)
  double Ag2 = 0;     ///< 1/A² of the glottis, cm⁻⁴
  double Ac2 = 0;     ///< 1/A² of the constriction, cm⁻⁴
  double Rc_v = 0;    ///< viscous resistance of the constriction
  double rv_sum = 0;  ///< linear coefficient of the series flow law
  double rk_sum = 0;  ///< quadratic (kinetic) coefficient of the series flow law
  double Udc = 0;     ///< the flow: positive root of rk_sum·U² + rv_sum·U = lung pressure
  double Rg_k = 0;    ///< kinetic resistance of the glottis linearised at Udc
  double Rc_k = 0;    ///< kinetic resistance of the constriction linearised at Udc
};

/// Solves the glottis-plus-constriction flow law. acglt: the two glottal
/// element records as the glottal tube model fills them; Ag: glottal area,
/// cm² (floored, > 0); Ac: the constriction (area and length floored, > 0);
/// H2O_bar·Psub: lung pressure in dyn/cm².
QuasiStationaryFlow quasi_stationary_flow(const SimConstants& k, float H2O_bar, float Psub,
                                          const td_acoustic_elements* acglt, float Ag,
                                          const constriction& Ac);

}  // namespace vt
