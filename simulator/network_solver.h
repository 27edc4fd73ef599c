#pragma once

#include "simulator/td_linear_equation.h"

namespace vt {

// Tridiagonal rows  -x(i-1) + coef(i)·x(i) + x(i+1) = src(i)  with every coef
// positive: the eliminations need no pivoting and no division.

/// Eliminates rows 1..n upwards from row 0 (elimCoef 1, elimSrc = x(0)):
/// afterwards elimCoef(i)·x(i) + elimCoef(i-1)·x(i+1) = elimSrc(i).
void forward_elimination_t(int n, td_linear_equation* rows);

/// val of rows n down to 1 from the forward elimination; needs val(n+1).
void backward_substitution_t(int n, td_linear_equation* rows);

/// Eliminates rows n down to 1 towards row 0; needs elimCoef 1 in row n+1:
/// afterwards elimCoef(i)·x(i) - elimCoef(i+1)·x(i-1) = elimSrc(i).
void backward_elimination_t(int n, td_linear_equation* rows);

/// val of rows 1..n from the backward elimination; needs val(0).
void forward_substitution_t(int n, td_linear_equation* rows);

/// One chain from the lungs to the lip radiation row n4 (junction row n3).
void solve_single_chain(td_linear_equation* eq, int n3, int n4);

/// Three chains joined at the velum node, which has no compliance of its own:
/// eq (lungs to the velum, last junction n3, node row n4 = n3 + 1), eqbu
/// (velum to the lip radiation row nbu4) and eqnt (velum to the nostril
/// radiation row nnt4). The velum pressure follows from the flow balance and
/// is stored in eq[n4], eqbu[0] and eqnt[0] before the substitutions.
void solve_three_branch(td_linear_equation* eq, int n3, td_linear_equation* eqbu, int nbu4,
                        td_linear_equation* eqnt, int nnt4);

}  // namespace vt
