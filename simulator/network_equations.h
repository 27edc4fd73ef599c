#pragma once

#include "simulator/airway_branch.h"
#include "simulator/td_acoustic_elements.h"
#include "simulator/td_linear_equation.h"

namespace vt {

/// Sets the history and source fields (srcL, srcP, srcC, srcU, srcLw, srcCw)
/// of elements[0..count-1] to 0: the chain starts from rest.
void clear_sources(int count, td_acoustic_elements* elements);

/// Sets the unknowns (val) of rows[0..count-1] to 0.
void clear_PU(int count, td_linear_equation* rows);

/// Writes the row coefficients of one chain (elements 0..count) from row
/// *position on: junction rows R + L, section rows C (+ Yw with wall 1 or the
/// trachea kind 0). Row 1 is overwritten, any other inlet row is added to (the
/// junction shared with the preceding chain). On return *position is the
/// chain's last junction row.
void eq_elements_t(int tubeKind, int* position, int count, const td_acoustic_elements* elements,
                   td_linear_equation* rows, int wall);

/// Advances the trapezoidal histories of the chain's inertances, compliances
/// and wall branches from the previous solution (val), then writes the row
/// sources. Wall flows of the vocal-tract kind 5 are added to *U1_wall (cm³/s).
/// *position advances as in eq_elements_t.
void force_constants(int tubeKind, int* position, int count, td_acoustic_elements* elements,
                     td_linear_equation* rows, int wall, double* U1_wall);

/// eq_elements_t over one branch, from its first row in its system.
void eq_elements_t(const AirwayBranch& branch, int wall);

/// force_constants over one branch, from its first row in its system.
void force_constants(AirwayBranch& branch, int wall, double* U1_wall);

}  // namespace vt
