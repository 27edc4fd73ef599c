#pragma once
// The element laws of the network, each written once. The chain routines
// (acous_elements_t, eq_elements_t, force_constants) and the overlapped
// single-chain step call these same inline kernels, so both schedules perform
// the same roundings in the same order.
//
// Element values are in trapezoidal companion form (see td_acoustic_elements):
// inertances and wall masses as impedances 2m/dt, air compliances as
// admittances 2C/dt, wall stiffnesses as impedances k·dt/2; every value is in
// CGS acoustic units (dyn·s/cm⁵ for impedances, cm⁵/(dyn·s) for admittances).
#include <cmath>

#include "simulator/td_acoustic_elements.h"

namespace vt::law {

/// Series resistance and inertance of half a tube section.
struct HalfSection {
  double Rh;  ///< viscous resistance of half the section, dyn·s/cm⁵
  double Lh;  ///< inertance of half the section, companion impedance, dyn·s/cm⁵
};

/// Half of a cylindrical tube section of area A (cm²) and length x (cm):
/// Rh = K_viscous·x/A² (Poiseuille loss of half the length), Lh = La·x/A
/// (air mass of half the length), with x/A formed in single precision first.
inline HalfSection tube_half_section(double K_viscous_const, double La, float A, float x) {
  const float t = x / A;  // x/A, 1/cm
  return {K_viscous_const * t / A, La * t};
}

/// Half of the glottal slit of area A (cm²): the viscous resistance
/// K_viscous_glotte/A³ of a slit of fixed depth, and no inertance.
inline HalfSection glottal_half_section(double K_viscous_glotte, float A) {
  return {K_viscous_glotte / std::pow(static_cast<double>(A), 3.0), 0.0};
}

/// Air compliance of a section of area A (cm²) and length x (cm): Ca·A·x,
/// the companion admittance of its volume, cm⁵/(dyn·s).
inline double air_compliance(double Ca, float A, float x) { return Ca * A * x; }

/// Yielding wall of a section of area A (cm²) and length x (cm), a series
/// resistance, mass and stiffness from the section pressure to ground, each
/// inversely proportional to the wall area 2·sqrt(pi)·sqrt(A)·x (the factor
/// 2·sqrt(pi) is in the per-area constants Rw, Lw, Cw). Sets el.Rw, el.Lw,
/// el.Cw and the branch admittance el.Yw = 1/(Rw + Lw + Cw).
inline void wall_branch(double Rw, double Lw, double Cw, float A, float x,
                        td_acoustic_elements& el) {
  const float w = static_cast<float>(std::sqrt(static_cast<double>(A)) * x);  // sqrt(A)·x, cm²
  el.Rw = Rw / w;
  el.Lw = Lw / w;
  el.Cw = Cw / w;
  el.Yw = 1.0 / (el.Rw + el.Lw + el.Cw);
}

/// Coefficient of a junction row: series resistance plus inertance impedance.
inline double junction_coef(const td_acoustic_elements& el) { return el.R + el.L; }

/// Coefficient of a section row: air-compliance admittance, plus the wall
/// admittance when the wall yields.
inline double section_coef(const td_acoustic_elements& el, bool walls) {
  return walls ? el.C + el.Yw : el.C;
}

/// Trapezoidal history of a reactive element with companion value X (an
/// inertance impedance or a compliance admittance) whose through-variable or
/// across-variable was v in the last solution: returns 2·X·v − history.
inline double trapezoid(double X, double v, double history) { return 2 * X * v - history; }

/// Advances the wall branch of a section whose pressure was P (dyn/cm²) in the
/// last solution: the wall volume velocity w = (P + srcLw − srcCw)·Yw (cm³/s),
/// then the mass history (trapezoidal) and the stiffness accumulator. Returns w.
inline double wall_history(td_acoustic_elements& el, double P) {
  const double w = (P + el.srcLw - el.srcCw) * el.Yw;
  el.srcLw = 2 * el.Lw * w - el.srcLw;
  el.srcCw = el.srcCw + 2 * el.Cw * w;
  return w;
}

/// Source of a section row: compliance history, the shunt flow of a moving
/// section, and with a yielding wall the Norton equivalent of its history.
inline double section_src(const td_acoustic_elements& el, bool walls) {
  return walls ? el.srcC + el.srcU + (el.srcCw - el.srcLw) * el.Yw : el.srcC + el.srcU;
}

/// Source of a junction row: inertance history plus the series pressure source.
inline double junction_src(const td_acoustic_elements& el) { return el.srcL + el.srcP; }

/// Radiation load of an opening: a conductance in parallel with an inertance.
struct RadiationLoad {
  double G = 0;     ///< radiation conductance, cm⁵/(dyn·s)
  double Lrad = 0;  ///< companion admittance of the radiation inertance
  double iL = 0;    ///< trapezoidal history current of the radiation inertance, cm³/s
  /// Coefficient of the radiation row.
  double coef() const { return G + Lrad; }
  /// Advances the inertance history from the last radiation-row pressure P
  /// (dyn/cm²) and returns the row source −iL.
  double advance(double P) {
    iL = iL + 2 * Lrad * P;
    return -iL;
  }
};

/// Radiation load of an opening of area A (cm²): with from_opening the
/// piston-in-baffle conductance Grad·A and inertance Srad·sqrt(A); otherwise
/// the fixed conductance `fixed_G` and no inertance. The history is kept.
inline void radiation_load(double Grad, double Srad, bool from_opening, float A, double fixed_G,
                           RadiationLoad& load) {
  if (from_opening) {
    load.G = Grad * A;
    load.Lrad = Srad * std::sqrt(static_cast<double>(A));
  } else {
    load.G = fixed_G;
    load.Lrad = 0.0;
  }
}

}  // namespace vt::law
