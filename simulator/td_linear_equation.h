#pragma once

namespace vt {

/// One row of the tridiagonal network system
///   -x(i-1) + coef·x(i) + x(i+1) = src,
/// where x is a junction volume velocity (odd rows) or a section pressure
/// (even rows).
struct td_linear_equation {
  double src = 0;       ///< known source term of the row
  double coef = 0;      ///< coefficient of the row's own unknown
  double val = 0;       ///< the row's unknown after the solve
  double elimSrc = 0;   ///< elimination accumulator of the source term
  double elimCoef = 0;  ///< elimination accumulator of the coefficient
};

}  // namespace vt
