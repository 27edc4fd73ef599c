// Tridiagonal network solves: row equations, velum balance, steady state.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "simulator/network_equations.h"
#include "simulator/network_solver.h"

namespace vt {
namespace {

using Rows = std::vector<td_linear_equation>;

// Residual of row i, -x(i-1) + coef·x(i) + x(i+1) - src, relative to its terms.
double residual(const Rows& r, int i, int last) {
  const double next = i == last ? 0.0 : r[i + 1].val;
  const double lhs = -r[i - 1].val + r[i].coef * r[i].val + next;
  return std::fabs(lhs - r[i].src) / (std::fabs(r[i - 1].val) + std::fabs(r[i].coef * r[i].val) +
                                      std::fabs(next) + std::fabs(r[i].src) + 1e-300);
}

// Random coefficients > 0 and sources; x(0) = 7843.12, a unit seed after `last`.
Rows random_rows(int last, unsigned s) {
  Rows r(last + 2);
  auto next = [&s]() { return (((s = s * 1103515245u + 12345u) >> 8) & 0xffff) / 65536.0; };
  for (auto& row : r) row.coef = 0.01 + 100.0 * next(), row.src = 200.0 * next() - 100.0;
  r[0].elimSrc = r[0].val = 7843.12;
  r[0].elimCoef = 1.0;
  r[last + 1] = {0, 0, 0, 0.0, 1.0};
  return r;
}

TEST(NetworkSolver, SingleChainZeroSourcesGiveZero) {
  Rows eq = random_rows(24, 1);
  for (auto& row : eq) row.src = 0.0, row.val = 7.0;  // stale values are overwritten
  eq[0].elimSrc = eq[0].val = 0.0;
  solve_single_chain(eq.data(), 23, 24);
  for (int i = 1; i <= 24; ++i) EXPECT_EQ(eq[i].val, 0.0) << "row " << i;
}

// Every row holds in all three branches and in a single chain; the flow into
// the velum node equals the flows out; a nearly closed nasal port leaves one
// chain (main and mouth branch joined by a row without compliance or source).
TEST(NetworkSolver, ThreeBranchRowsVelumBalanceAndClosedNasalPort) {
  const int n3 = 19, nbu4 = 18, nnt4 = 26;
  for (double port : {0.0, 1e14}) {
    Rows eq = random_rows(n3, 11), eqbu = random_rows(nbu4, 12), eqnt = random_rows(nnt4, 13);
    if (port > 0) eqnt[1].coef = port;
    solve_three_branch(eq.data(), n3, eqbu.data(), nbu4, eqnt.data(), nnt4);
    EXPECT_TRUE(eqbu[0].val == eq[n3 + 1].val && eqnt[0].val == eq[n3 + 1].val);
    for (int i = 1; i <= n3; ++i) EXPECT_LT(residual(eq, i, n3 + 1), 1e-11) << i;
    for (int i = 1; i <= nbu4; ++i) EXPECT_LT(residual(eqbu, i, nbu4), 1e-11) << i;
    for (int i = 1; i <= nnt4; ++i) EXPECT_LT(residual(eqnt, i, nnt4), 1e-11) << i;
    EXPECT_NEAR(eq[n3].val, eqbu[1].val + eqnt[1].val,
                1e-11 * (std::fabs(eqbu[1].val) + std::fabs(eqnt[1].val)));
    if (port == 0) continue;
    Rows joined(eq.begin(), eq.begin() + n3 + 1);
    joined.push_back({0.0, 0.0, 0, 0, 0});
    joined.insert(joined.end(), eqbu.begin() + 1, eqbu.begin() + nbu4 + 1);
    const int last = static_cast<int>(joined.size()) - 1;
    solve_single_chain(joined.data(), last - 1, last);
    EXPECT_NEAR(eqnt[1].val, 0.0, 1e-9);
    for (int i = 1; i <= last; ++i) {
      EXPECT_LT(residual(joined, i, last), 1e-12) << i;
      const double v = i <= n3 + 1 ? eq[i].val : eqbu[i - n3 - 1].val;
      EXPECT_NEAR(v, joined[i].val, 1e-6 * std::fabs(joined[i].val) + 1e-9) << i;
    }
  }
}

// Two sections between a held lung pressure and a resistive load of 2: once
// the histories settle, U = P_lung / (sum of R) through every junction.
TEST(NetworkSolver, HeldSourcesSettleToTheResistiveSteadyState) {
  std::vector<td_acoustic_elements> ac(3);
  const double R[3] = {2.0, 3.0, 1.5};
  for (int k = 0; k < 3; ++k) ac[k].R = R[k], ac[k].L = 40.0;
  ac[1].C = 0.05, ac[2].C = 0.08;
  Rows eq(7);
  eq[0].elimSrc = 100.0, eq[0].elimCoef = 1.0;
  double U1_wall = 0.0;
  for (int step = 0; step < 20000; ++step) {
    int pos = 1, pos2 = 1;
    eq_elements_t(5, &pos, 2, ac.data(), eq.data(), 0);
    eq[6].coef = 0.5;  // radiation row: -U + 0.5·P = 0
    force_constants(5, &pos2, 2, ac.data(), eq.data(), 0, &U1_wall);
    solve_single_chain(eq.data(), 5, 6);
  }
  const double U = 100.0 / (R[0] + R[1] + R[2] + 2.0);
  for (int i : {1, 3, 5}) EXPECT_NEAR(eq[i].val, U, 1e-9 * U);
  EXPECT_NEAR(eq[4].val, 100.0 - (R[0] + R[1]) * U, 1e-8);
}

}  // namespace
}  // namespace vt
