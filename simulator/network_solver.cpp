#include "simulator/network_solver.h"

namespace vt {

void forward_elimination_t(int n, td_linear_equation* r) {
  if (n < 1) return;
  r[1].elimCoef = r[1].coef;
  r[1].elimSrc = r[0].elimSrc + r[1].src;
  for (int i = 2; i <= n; ++i) {
    r[i].elimSrc = r[i - 1].elimCoef * r[i].src + r[i - 1].elimSrc;
    r[i].elimCoef = r[i - 1].elimCoef * r[i].coef + r[i - 2].elimCoef;
  }
}

void backward_substitution_t(int n, td_linear_equation* r) {
  for (int i = n; i >= 1; --i)
    r[i].val = (r[i].elimSrc - r[i - 1].elimCoef * r[i + 1].val) / r[i].elimCoef;
}

void backward_elimination_t(int n, td_linear_equation* r) {
  if (n < 1) return;
  r[n].elimSrc = r[n].src;
  r[n].elimCoef = r[n].coef;
  for (int i = n - 1; i >= 1; --i) {
    r[i].elimCoef = r[i].coef * r[i + 1].elimCoef + r[i + 2].elimCoef;
    r[i].elimSrc = r[i].src * r[i + 1].elimCoef - r[i + 1].elimSrc;
  }
}

void forward_substitution_t(int n, td_linear_equation* r) {
  for (int i = 1; i <= n; ++i)
    r[i].val = (r[i + 1].elimCoef * r[i - 1].val + r[i].elimSrc) / r[i].elimCoef;
}

void solve_single_chain(td_linear_equation* eq, int n3, int n4) {
  forward_elimination_t(n4, eq);
  eq[n4].val = eq[n4].elimSrc / eq[n4].elimCoef;
  backward_substitution_t(n3, eq);
}

void solve_three_branch(td_linear_equation* eq, int n3, td_linear_equation* eqbu, int nbu4,
                        td_linear_equation* eqnt, int nnt4) {
  const int n2 = n3 - 1, n4 = n3 + 1;
  forward_elimination_t(n3, eq);
  backward_elimination_t(nbu4, eqbu);
  backward_elimination_t(nnt4, eqnt);
  const double num = eq[n3].elimSrc / eq[n3].elimCoef - eqbu[1].elimSrc / eqbu[1].elimCoef -
                     eqnt[1].elimSrc / eqnt[1].elimCoef;
  const double den = eqbu[2].elimCoef / eqbu[1].elimCoef + eq[n2].elimCoef / eq[n3].elimCoef +
                     eqnt[2].elimCoef / eqnt[1].elimCoef;
  const double Pv = num / den;
  eqnt[0].val = Pv;
  eqbu[0].val = Pv;
  eq[n4].val = Pv;
  backward_substitution_t(n3, eq);
  forward_substitution_t(nbu4, eqbu);
  forward_substitution_t(nnt4, eqnt);
}

}  // namespace vt
