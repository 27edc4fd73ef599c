#pragma once

namespace vt {

/// Lumped elements of junction k (series branch, between sections k-1 and k)
/// and of section k-1 (shunt branch: air compliance and yielding wall).
/// Values are stored in trapezoidal companion form: inertances and wall masses
/// as impedances 2m/dt, the air compliance as admittance 2C/dt, the wall
/// stiffness as impedance k·dt/2. An array of n sections has n+1 records.
struct td_acoustic_elements {
  double R = 0;      ///< series viscous resistance of junction k, dyn·s/cm⁵
  double L = 0;      ///< series inertance of junction k (companion impedance)
  double srcL = 0;   ///< trapezoidal history source of L
  double srcP = 0;   ///< series pressure source of junction k (noise), dyn/cm²
  double C = 0;      ///< air compliance of section k-1 (companion admittance)
  double srcC = 0;   ///< trapezoidal history source of C
  double srcU = 0;   ///< shunt volume-velocity source from the section's volume change, cm³/s
  double Rw = 0;     ///< wall resistance of section k-1
  double Lw = 0;     ///< wall mass of section k-1 (companion impedance)
  double srcLw = 0;  ///< history source of Lw
  double Cw = 0;     ///< wall stiffness of section k-1 (companion impedance)
  double srcCw = 0;  ///< history source (accumulator) of Cw
  double Yw = 0;     ///< wall admittance 1/(Rw+Lw+Cw); 0 for rigid walls
};

}  // namespace vt
