// Tridiagonal network assembly and solves: row equations, flow balance at the
// velum node, resistive steady state, chain joining.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "simulator/network_equations.h"
#include "simulator/network_solver.h"

namespace vt {
namespace {

using Rows = std::vector<td_linear_equation>;

// Residual of row i, -x(i-1) + coef·x(i) + x(i+1) - src, relative to its terms.
double residual(const Rows& r, int i, double x_next) {
  const double lhs = -r[i - 1].val + r[i].coef * r[i].val + x_next;
  return std::fabs(lhs - r[i].src) / (std::fabs(r[i - 1].val) + std::fabs(r[i].coef * r[i].val) +
                                      std::fabs(x_next) + std::fabs(r[i].src) + 1e-300);
}

// Pseudo-random positive coefficients and signed sources; row 0 holds the
// boundary value x(0) = 7843.12 (the lung pressure), the row after `last` a
// unit seed.
Rows random_rows(int last, unsigned s) {
  Rows r(last + 2);
  auto next = [&s]() { return (((s = s * 1103515245u + 12345u) >> 8) & 0xffff) / 65536.0; };
  for (auto& row : r) {
    row.coef = 0.01 + 100.0 * next();
    row.src = 200.0 * next() - 100.0;
  }
  r[0].elimSrc = r[0].val = 7843.12;
  r[0].elimCoef = 1.0;
  r[last + 1] = {0, 0, 0, 0.0, 1.0};
  return r;
}

TEST(NetworkSolver, SingleChainZeroSourcesAndEveryRow) {
  Rows eq = random_rows(24, 1);
  for (auto& row : eq) row.src = 0.0, row.val = 7.0;  // stale values are overwritten
  eq[0].elimSrc = eq[0].val = 0.0;
  solve_single_chain(eq.data(), 23, 24);
  for (int i = 1; i <= 24; ++i) EXPECT_EQ(eq[i].val, 0.0) << "row " << i;

  eq = random_rows(38, 7);
  solve_single_chain(eq.data(), 37, 38);
  for (int i = 1; i < 38; ++i) EXPECT_LT(residual(eq, i, eq[i + 1].val), 1e-12) << "row " << i;
  EXPECT_LT(residual(eq, 38, 0.0), 1e-12);  // nothing beyond the radiation row
}

TEST(NetworkSolver, ThreeBranchSatisfiesEveryRowAndBalancesTheVelumNode) {
  const int n3 = 19, nbu4 = 18, nnt4 = 26;
  Rows eq = random_rows(n3, 11), eqbu = random_rows(nbu4, 12), eqnt = random_rows(nnt4, 13);
  solve_three_branch(eq.data(), n3, eqbu.data(), nbu4, eqnt.data(), nnt4);
  const double Pv = eq[n3 + 1].val;
  EXPECT_EQ(eqbu[0].val, Pv);
  EXPECT_EQ(eqnt[0].val, Pv);
  for (int i = 1; i <= n3; ++i) EXPECT_LT(residual(eq, i, eq[i + 1].val), 1e-11) << i;
  for (const auto& [r, last] : {std::pair{&eqbu, nbu4}, std::pair{&eqnt, nnt4}})
    for (int i = 1; i <= last; ++i)
      EXPECT_LT(residual(*r, i, i == last ? 0.0 : (*r)[i + 1].val), 1e-11) << i;
  const double out = eqbu[1].val + eqnt[1].val;
  EXPECT_NEAR(eq[n3].val, out, 1e-11 * (std::fabs(eqbu[1].val) + std::fabs(eqnt[1].val)));
}

TEST(NetworkSolver, ClosedNasalPortReducesToOneChain) {
  const int n3 = 15, nbu4 = 12;
  Rows eq = random_rows(n3, 11), eqbu = random_rows(nbu4, 12), eqnt = random_rows(20, 13);
  eqnt[1].coef = 1e14;  // nearly closed velum
  solve_three_branch(eq.data(), n3, eqbu.data(), nbu4, eqnt.data(), 20);

  // eq and eqbu joined at the velum node, a row without compliance or source.
  Rows joined(eq.begin(), eq.begin() + n3 + 1);
  joined.push_back({0.0, 0.0, 0, 0, 0});
  joined.insert(joined.end(), eqbu.begin() + 1, eqbu.begin() + nbu4 + 1);
  const int last = static_cast<int>(joined.size()) - 1;
  solve_single_chain(joined.data(), last - 1, last);

  EXPECT_NEAR(eqnt[1].val, 0.0, 1e-9);
  for (int i = 1; i <= last; ++i) {
    const double v = i <= n3 + 1 ? eq[i].val : eqbu[i - n3 - 1].val;
    EXPECT_NEAR(v, joined[i].val, 1e-6 * std::fabs(joined[i].val) + 1e-9) << i;
  }
}

// Two tube sections between a held lung pressure and a resistive radiation
// load: once the histories settle, every compliance is charged and the
// inertances pass the flow, so U = P_lung / (sum of R).
TEST(NetworkSolver, HeldSourcesSettleToTheResistiveSteadyState) {
  std::vector<td_acoustic_elements> ac(3);
  const double R[3] = {2.0, 3.0, 1.5};
  for (int k = 0; k < 3; ++k) ac[k].R = R[k], ac[k].L = 40.0;
  ac[1].C = 0.05;
  ac[2].C = 0.08;
  Rows eq(7);
  eq[0].elimSrc = 100.0;
  eq[0].elimCoef = 1.0;
  double U1_wall = 0.0;
  for (int step = 0; step < 20000; ++step) {
    int pos = 1;
    eq_elements_t(5, &pos, 2, ac.data(), eq.data(), 0);
    eq[6].coef = 0.5;  // radiation row: -U + 0.5·P = 0, a load of 2
    pos = 1;
    force_constants(5, &pos, 2, ac.data(), eq.data(), 0, &U1_wall);
    solve_single_chain(eq.data(), 5, 6);
  }
  const double U = 100.0 / (R[0] + R[1] + R[2] + 2.0);
  for (int i : {1, 3, 5}) EXPECT_NEAR(eq[i].val, U, 1e-9 * U);
  EXPECT_NEAR(eq[4].val, 100.0 - (R[0] + R[1]) * U, 1e-8);
}

// Chains meeting on a shared junction row add their coefficients and sources
// there (a chain of no sections only that); row 1 is overwritten. The wall
// branch history is an accumulator, and only the vocal-tract kind's wall flow
// counts as U1_wall.
TEST(NetworkEquations, SharedJunctionsAndWallBranch) {
  std::vector<td_acoustic_elements> A(3), B(2), empty(1);
  for (int k = 0; k < 3; ++k) A[k].R = 1.0 + k, A[k].L = 10.0 * (k + 1), A[k].C = 0.1;
  for (int k = 0; k < 2; ++k) B[k].R = 100.0 + k, B[k].L = 1000.0, B[k].C = 0.2, B[k].srcP = 5.0;
  empty[0].R = 1.0;
  empty[0].srcP = 0.25;
  A[2].Rw = 2.0, A[2].Lw = 3.0, A[2].Cw = 0.5, A[2].Yw = 1.0 / 5.5, A[2].srcLw = 0.7, A[2].srcCw = 0.2;
  B[1].Yw = 0.1;  // a glottal wall: its flow is not vocal-tract wall flow
  for (int wall : {1, 0}) {
    auto a = A, b = B;
    Rows rows(8, {1e6, 1e6, 3.0, 0, 0});  // stale coefficients and sources of a previous step
    int pos = 1;
    double U1_wall = 0.0;
    eq_elements_t(5, &pos, 2, a.data(), rows.data(), wall);
    eq_elements_t(4, &pos, 0, empty.data(), rows.data(), wall);
    eq_elements_t(1, &pos, 1, b.data(), rows.data(), wall);
    EXPECT_EQ(pos, 7);
    EXPECT_EQ(rows[1].coef, a[0].R + a[0].L);
    EXPECT_EQ(rows[4].coef, wall ? a[2].C + a[2].Yw : a[2].C);
    EXPECT_EQ(rows[5].coef, (a[2].R + a[2].L) + 1.0 + (b[0].R + b[0].L));
    pos = 1;
    force_constants(5, &pos, 2, a.data(), rows.data(), wall, &U1_wall);
    force_constants(4, &pos, 0, empty.data(), rows.data(), wall, &U1_wall);
    force_constants(1, &pos, 1, b.data(), rows.data(), wall, &U1_wall);
    EXPECT_EQ(pos, 7);
    EXPECT_EQ(rows[1].src, 2 * a[0].L * 3.0);
    EXPECT_EQ(rows[5].src, a[2].srcL + 0.25 + (b[0].srcL + b[0].srcP));
    const double w = wall ? (3.0 + 0.7 - 0.2) * a[2].Yw : 0.0;  // flow into the wall of section 1
    EXPECT_EQ(U1_wall, w);
    EXPECT_EQ(a[2].srcLw, wall ? 2 * 3.0 * w - 0.7 : 0.7);
    EXPECT_EQ(a[2].srcCw, wall ? 0.2 + 2 * 0.5 * w : 0.2);
    EXPECT_EQ(rows[4].src, wall ? a[2].srcC + (a[2].srcCw - a[2].srcLw) * a[2].Yw : a[2].srcC);
  }
}

}  // namespace
}  // namespace vt
