// Tridiagonal network assembly and solves: row equations, flow balance at the
// velum node, resistive steady state, chain joining.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "simulator/network_equations.h"
#include "simulator/network_solver.h"

namespace vt {
namespace {

using Rows = std::vector<td_linear_equation>;

// Residual of row i: -x(i-1) + coef·x(i) + x(i+1) - src, relative to its terms.
double residual(const Rows& r, int i, double x_next) {
  const double lhs = -r[i - 1].val + r[i].coef * r[i].val + x_next;
  const double scale = std::fabs(r[i - 1].val) + std::fabs(r[i].coef * r[i].val) +
                       std::fabs(x_next) + std::fabs(r[i].src) + 1e-300;
  return std::fabs(lhs - r[i].src) / scale;
}

// Deterministic pseudo-random positive coefficients and signed sources.
Rows random_rows(int n, unsigned seed) {
  Rows r(n);
  unsigned s = seed;
  auto next = [&s]() {
    s = s * 1103515245u + 12345u;
    return ((s >> 8) & 0xffff) / 65536.0;
  };
  for (auto& row : r) {
    row.coef = 0.01 + 100.0 * next();
    row.src = 200.0 * next() - 100.0;
  }
  return r;
}

TEST(NetworkSolver, ZeroSourcesGiveZero) {
  Rows eq = random_rows(25, 1);
  for (auto& row : eq) row.src = 0.0;
  eq[0].elimSrc = 0.0;
  eq[0].elimCoef = 1.0;
  for (auto& row : eq) row.val = 7.0;  // stale values must be overwritten
  eq[0].val = 0.0;
  solve_single_chain(eq.data(), 23, 24);
  for (int i = 1; i <= 24; ++i) EXPECT_EQ(eq[i].val, 0.0) << "row " << i;
}

TEST(NetworkSolver, SingleChainSatisfiesEveryRow) {
  const int n3 = 37, n4 = 38;
  Rows eq = random_rows(n4 + 1, 7);
  eq[0].elimSrc = 7843.12;
  eq[0].elimCoef = 1.0;
  eq[0].val = 7843.12;  // x(0): the boundary value
  solve_single_chain(eq.data(), n3, n4);
  for (int i = 1; i < n4; ++i) EXPECT_LT(residual(eq, i, eq[i + 1].val), 1e-12) << "row " << i;
  EXPECT_LT(residual(eq, n4, 0.0), 1e-12);  // nothing beyond the radiation row
}

TEST(NetworkSolver, BackwardEliminationAndForwardSubstitution) {
  const int n = 20;
  Rows r = random_rows(n + 2, 3);
  r[n + 1].elimCoef = 1.0;
  r[n + 1].elimSrc = 0.0;
  r[n + 1].val = 0.0;
  r[0].val = 12.5;
  backward_elimination_t(n, r.data());
  forward_substitution_t(n, r.data());
  for (int i = 1; i <= n; ++i) EXPECT_LT(residual(r, i, r[i + 1].val), 1e-12) << "row " << i;
}

struct ThreeBranch {
  Rows eq, eqbu, eqnt;
  int n3, nbu4, nnt4;
  ThreeBranch(int n3_, int nbu4_, int nnt4_) : n3(n3_), nbu4(nbu4_), nnt4(nnt4_) {
    eq = random_rows(n3 + 2, 11);
    eqbu = random_rows(nbu4 + 2, 12);
    eqnt = random_rows(nnt4 + 2, 13);
    eq[0].elimSrc = 7843.12;
    eq[0].elimCoef = 1.0;
    eq[0].val = 7843.12;
    eqbu[nbu4 + 1] = {0, 0, 0, 0.0, 1.0};
    eqnt[nnt4 + 1] = {0, 0, 0, 0.0, 1.0};
  }
  void solve() {
    solve_three_branch(eq.data(), n3, eqbu.data(), nbu4, eqnt.data(), nnt4);
  }
};

TEST(NetworkSolver, ThreeBranchSatisfiesEveryRowAndBalancesTheVelumNode) {
  ThreeBranch t(19, 18, 26);
  t.solve();
  const double Pv = t.eq[t.n3 + 1].val;
  EXPECT_EQ(t.eqbu[0].val, Pv);
  EXPECT_EQ(t.eqnt[0].val, Pv);
  for (int i = 1; i <= t.n3; ++i) EXPECT_LT(residual(t.eq, i, t.eq[i + 1].val), 1e-11) << i;
  for (int i = 1; i <= t.nbu4; ++i) {
    const double next = i == t.nbu4 ? 0.0 : t.eqbu[i + 1].val;
    EXPECT_LT(residual(t.eqbu, i, next), 1e-11) << "mouth row " << i;
  }
  for (int i = 1; i <= t.nnt4; ++i) {
    const double next = i == t.nnt4 ? 0.0 : t.eqnt[i + 1].val;
    EXPECT_LT(residual(t.eqnt, i, next), 1e-11) << "nasal row " << i;
  }
  const double in = t.eq[t.n3].val;
  const double out = t.eqbu[1].val + t.eqnt[1].val;
  EXPECT_NEAR(in, out, 1e-11 * (std::fabs(in) + std::fabs(t.eqbu[1].val) + std::fabs(t.eqnt[1].val)));
}

TEST(NetworkSolver, ClosedNasalPortReducesToOneChain) {
  ThreeBranch t(15, 12, 20);
  t.eqnt[1].coef = 1e14;  // nearly closed velum
  t.solve();

  // The same network without the nasal branch: eq and eqbu joined at the node.
  Rows joined(t.n3 + 1 + t.nbu4 + 1);
  for (int i = 0; i <= t.n3; ++i) joined[i] = t.eq[i];
  const int v = t.n3 + 1;                 // velum node row: no compliance, no source
  joined[v] = {0.0, 0.0, 0, 0, 0};
  for (int i = 1; i <= t.nbu4; ++i) joined[v + i] = t.eqbu[i];
  // The node row: inflow minus outflow is zero, written with the -1/+1 pattern
  // as -U(in) + 0·P + U(out) = 0 turns into a coefficient-zero row, which the
  // division-free elimination handles as long as the pivot stays positive.
  joined[v].coef = 0.0;
  joined[0].elimSrc = t.eq[0].elimSrc;
  joined[0].elimCoef = 1.0;
  solve_single_chain(joined.data(), (int)joined.size() - 2, (int)joined.size() - 1);

  EXPECT_NEAR(t.eqnt[1].val, 0.0, 1e-9);
  EXPECT_NEAR(t.eq[v].val, joined[v].val, 1e-6 * std::fabs(joined[v].val) + 1e-9);
  for (int i = 1; i <= t.n3; ++i)
    EXPECT_NEAR(t.eq[i].val, joined[i].val, 1e-6 * std::fabs(joined[i].val) + 1e-9) << i;
  for (int i = 1; i <= t.nbu4; ++i)
    EXPECT_NEAR(t.eqbu[i].val, joined[v + i].val, 1e-6 * std::fabs(joined[v + i].val) + 1e-9) << i;
}

// A chain of two tube sections between the lungs and a resistive radiation
// load, driven by a held lung pressure: after the histories settle every
// compliance is charged (no flow into it) and the inertances pass the flow
// unimpeded, so U = P_lung / (sum of R).
TEST(NetworkSolver, HeldSourcesSettleToTheResistiveSteadyState) {
  std::vector<td_acoustic_elements> ac(3);
  const double R[3] = {2.0, 3.0, 1.5};
  for (int k = 0; k < 3; ++k) {
    ac[k].R = R[k];
    ac[k].L = 40.0;
  }
  ac[1].C = 0.05;
  ac[2].C = 0.08;
  const double Grad = 0.5;  // resistive radiation row
  Rows eq(7);
  eq[0].elimSrc = 100.0;
  eq[0].elimCoef = 1.0;
  double U1_wall = 0.0;
  for (int step = 0; step < 20000; ++step) {
    int pos = 1;
    eq_elements_t(5, &pos, 2, ac.data(), eq.data(), 0);
    EXPECT_EQ(pos, 5);
    eq[6].coef = Grad;
    pos = 1;
    force_constants(5, &pos, 2, ac.data(), eq.data(), 0, &U1_wall);
    solve_single_chain(eq.data(), 5, 6);
  }
  // Radiation row: -U + Grad·P = 0 → P = U/Grad, so the load is 1/Grad.
  const double U = 100.0 / (R[0] + R[1] + R[2] + 1.0 / Grad);
  EXPECT_NEAR(eq[1].val, U, 1e-9 * U);
  EXPECT_NEAR(eq[3].val, U, 1e-9 * U);
  EXPECT_NEAR(eq[5].val, U, 1e-9 * U);
  EXPECT_NEAR(eq[2].val, 100.0 - R[0] * U, 1e-8);
  EXPECT_NEAR(eq[4].val, 100.0 - (R[0] + R[1]) * U, 1e-8);
}

TEST(NetworkEquations, EmptyChainTouchesOnlyItsInletRow) {
  td_acoustic_elements e[1];
  e[0].R = 1.0;
  e[0].L = 2.0;
  e[0].srcL = 0.5;
  e[0].srcP = 0.25;
  Rows rows(6);
  for (auto& r : rows) {
    r.coef = 10.0;
    r.src = 20.0;
    r.val = 3.0;
  }
  int pos = 3;
  double U1_wall = 0.0;
  eq_elements_t(5, &pos, 0, e, rows.data(), 1);
  EXPECT_EQ(pos, 3);
  force_constants(5, &pos, 0, e, rows.data(), 1, &U1_wall);
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(rows[3].coef, 13.0);
  EXPECT_EQ(e[0].srcL, 2 * 2.0 * 3.0 - 0.5);
  EXPECT_EQ(rows[3].src, 20.0 + (11.5 + 0.25));
  for (int i : {0, 1, 2, 4, 5}) {
    EXPECT_EQ(rows[i].coef, 10.0);
    EXPECT_EQ(rows[i].src, 20.0);
  }
}

TEST(NetworkEquations, SharedJunctionSumsBothChainsAndRowOneIsOverwritten) {
  std::vector<td_acoustic_elements> a(3), b(2);
  for (int k = 0; k < 3; ++k) {
    a[k].R = 1.0 + k;
    a[k].L = 10.0 * (k + 1);
    a[k].C = 0.1;
    a[k].srcL = 0.0;
  }
  for (int k = 0; k < 2; ++k) {
    b[k].R = 100.0 + k;
    b[k].L = 1000.0 * (k + 1);
    b[k].C = 0.2;
    b[k].srcP = 5.0 * (k + 1);
  }
  Rows rows(8);
  for (auto& r : rows) {
    r.coef = 1e6;  // stale values of a previous step
    r.src = 1e6;
  }
  int pos = 1;
  eq_elements_t(5, &pos, 2, a.data(), rows.data(), 0);
  EXPECT_EQ(pos, 5);
  eq_elements_t(5, &pos, 1, b.data(), rows.data(), 0);
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(rows[1].coef, a[0].R + a[0].L);
  EXPECT_EQ(rows[2].coef, a[1].C);
  EXPECT_EQ(rows[5].coef, (a[2].R + a[2].L) + (b[0].R + b[0].L));
  EXPECT_EQ(rows[6].coef, b[1].C);
  EXPECT_EQ(rows[7].coef, b[1].R + b[1].L);

  double U1_wall = 0.0;
  pos = 1;
  force_constants(5, &pos, 2, a.data(), rows.data(), 0, &U1_wall);
  force_constants(5, &pos, 1, b.data(), rows.data(), 0, &U1_wall);
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(rows[1].src, 0.0);
  EXPECT_EQ(rows[5].src, 0.0 + b[0].srcP);
  EXPECT_EQ(rows[7].src, b[1].srcP);
}

TEST(NetworkEquations, WallBranchHistoryAndFlow) {
  td_acoustic_elements e[2];
  e[1].C = 0.3;
  e[1].Rw = 2.0;
  e[1].Lw = 3.0;
  e[1].Cw = 0.5;
  e[1].Yw = 1.0 / (2.0 + 3.0 + 0.5);
  e[1].srcLw = 0.7;
  e[1].srcCw = 0.2;
  Rows rows(4);
  rows[2].val = 10.0;  // section pressure of the previous step
  double U1_wall = 1.0;
  int pos = 1;
  force_constants(5, &pos, 1, e, rows.data(), 1, &U1_wall);
  const double w = (10.0 + 0.7 - 0.2) * e[1].Yw;
  EXPECT_EQ(U1_wall, 1.0 + w);
  EXPECT_EQ(e[1].srcLw, 2 * 3.0 * w - 0.7);
  EXPECT_EQ(e[1].srcCw, 0.2 + 2 * 0.5 * w);
  EXPECT_EQ(rows[2].src, e[1].srcC + (e[1].srcCw - e[1].srcLw) * e[1].Yw);

  // The glottis kind does not count its wall flow as vocal-tract wall flow;
  // with walls off nothing flows into the wall at all.
  double other = 0.0;
  pos = 1;
  force_constants(1, &pos, 1, e, rows.data(), 1, &other);
  EXPECT_EQ(other, 0.0);
  const double srcLw = e[1].srcLw;
  pos = 1;
  force_constants(5, &pos, 1, e, rows.data(), 0, &other);
  EXPECT_EQ(other, 0.0);
  EXPECT_EQ(e[1].srcLw, srcLw);
}

}  // namespace
}  // namespace vt
