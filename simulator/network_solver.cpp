#include "simulator/network_solver.h"

namespace vt {

namespace {

// Each elimination or substitution is one dependent chain along its rows.
// The cursors below advance a chain one row per call and carry the chain's
// last values in registers instead of reloading them from the rows just
// stored; several independent chains advanced in turn overlap their
// latencies. Every row gets exactly the operations of the plain loops.

// Rows 1..n upwards from row 0.
struct ForwardElimination {
  td_linear_equation* r;
  int i, n;
  double c1, c2, s1;  // elimCoef(i-1), elimCoef(i-2), elimSrc(i-1)
  ForwardElimination(td_linear_equation* rows, int count) : r(rows), i(2), n(count) {
    if (n < 1) return;
    c2 = r[0].elimCoef;
    c1 = r[1].coef;
    s1 = r[0].elimSrc + r[1].src;
    r[1].elimCoef = c1;
    r[1].elimSrc = s1;
  }
  bool more() const { return i <= n; }
  void row() {
    s1 = c1 * r[i].src + s1;
    const double c = c1 * r[i].coef + c2;
    r[i].elimSrc = s1;
    r[i].elimCoef = c;
    c2 = c1;
    c1 = c;
    ++i;
  }
};

// Rows n down to 1 towards row 0.
struct BackwardElimination {
  td_linear_equation* r;
  int i;
  double c1, c2, s1;  // elimCoef(i+1), elimCoef(i+2), elimSrc(i+1)
  BackwardElimination(td_linear_equation* rows, int n) : r(rows), i(n - 1) {
    if (n < 1) return;
    s1 = r[n].src;
    c1 = r[n].coef;
    c2 = r[n + 1].elimCoef;
    r[n].elimSrc = s1;
    r[n].elimCoef = c1;
  }
  bool more() const { return i >= 1; }
  void row() {
    const double c = r[i].coef * c1 + c2;
    s1 = r[i].src * c1 - s1;
    r[i].elimCoef = c;
    r[i].elimSrc = s1;
    c2 = c1;
    c1 = c;
    --i;
  }
};

// val of rows n down to 1 after a forward elimination.
struct BackwardSubstitution {
  td_linear_equation* r;
  int i;
  double v;  // val(i+1)
  BackwardSubstitution(td_linear_equation* rows, int n)
      : r(rows), i(n), v(n >= 1 ? rows[n + 1].val : 0.0) {}
  bool more() const { return i >= 1; }
  void row() {
    v = (r[i].elimSrc - r[i - 1].elimCoef * v) / r[i].elimCoef;
    r[i].val = v;
    --i;
  }
};

// val of rows 1..n after a backward elimination.
struct ForwardSubstitution {
  td_linear_equation* r;
  int i, n;
  double v;  // val(i-1)
  ForwardSubstitution(td_linear_equation* rows, int count)
      : r(rows), i(1), n(count), v(rows[0].val) {}
  bool more() const { return i <= n; }
  void row() {
    v = (r[i + 1].elimCoef * v + r[i].elimSrc) / r[i].elimCoef;
    r[i].val = v;
    ++i;
  }
};

template <class Chain>
void run(Chain c) {
  while (c.more()) c.row();
}

// Three independent chains, one row of each in turn.
template <class A, class B, class C>
void run_together(A a, B b, C c) {
  while (a.more() && b.more() && c.more()) a.row(), b.row(), c.row();
  while (a.more() || b.more() || c.more()) {
    if (a.more()) a.row();
    if (b.more()) b.row();
    if (c.more()) c.row();
  }
}

}  // namespace

void forward_elimination_t(int n, td_linear_equation* r) { run(ForwardElimination(r, n)); }

void backward_substitution_t(int n, td_linear_equation* r) { run(BackwardSubstitution(r, n)); }

void backward_elimination_t(int n, td_linear_equation* r) { run(BackwardElimination(r, n)); }

void forward_substitution_t(int n, td_linear_equation* r) { run(ForwardSubstitution(r, n)); }

void solve_single_chain(td_linear_equation* eq, int n3, int n4) {
  forward_elimination_t(n4, eq);
  eq[n4].val = eq[n4].elimSrc / eq[n4].elimCoef;
  backward_substitution_t(n3, eq);
}

void solve_three_branch(td_linear_equation* eq, int n3, td_linear_equation* eqbu, int nbu4,
                        td_linear_equation* eqnt, int nnt4) {
  const int n2 = n3 - 1, n4 = n3 + 1;
  run_together(ForwardElimination(eq, n3), BackwardElimination(eqbu, nbu4),
               BackwardElimination(eqnt, nnt4));
  const double num = eq[n3].elimSrc / eq[n3].elimCoef - eqbu[1].elimSrc / eqbu[1].elimCoef -
                     eqnt[1].elimSrc / eqnt[1].elimCoef;
  const double den = eqbu[2].elimCoef / eqbu[1].elimCoef + eq[n2].elimCoef / eq[n3].elimCoef +
                     eqnt[2].elimCoef / eqnt[1].elimCoef;
  const double Pv = num / den;
  eqnt[0].val = Pv;
  eqbu[0].val = Pv;
  eq[n4].val = Pv;
  run_together(BackwardSubstitution(eq, n3), ForwardSubstitution(eqbu, nbu4),
               ForwardSubstitution(eqnt, nnt4));
}

}  // namespace vt
