// Simulation step of the single chain (glottis and moving vocal tract, no
// trachea, no nasal branch), scheduled for speed with exactly the arithmetic
// of the plain step:
//
// The back substitution of a step is one long dependent chain of divisions.
// Only the lip flow (row n3) is needed for the output sample, so the step
// solves rows n4 and n3 at once and leaves rows n3-1..1 pending. The next
// step completes them inside its element loop, which depends on the geometry
// alone: the divider chain of the old solution runs beside the new elements,
// row coefficients and elimination pivots (kept in a second buffer). The
// history update, row sources and source elimination follow once the old
// solution is complete.
#include <cmath>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/element_laws.h"
#include "simulator/simulator.h"

namespace vt {

bool Simulator::can_pipeline() const {
  return allow_pipeline && !net_.has_nasal() && !net_.has_trachea() && cfg.vocal_tract == 1;
}

void Simulator::finish_pending() const {
  if (!pending_) return;
  const double* D = Dbuf_[dcur_].data();
  td_linear_equation* r = net_.eq.data();
  for (int i = net_.n3() - 1; i >= 1; --i) r[i].val = (r[i].elimSrc - D[i - 1] * r[i + 1].val) / D[i];
  pending_ = false;
}

void Simulator::settle_rows() const {
  finish_pending();
  if (!pivots_in_buffer_) return;
  const double* D = Dbuf_[dcur_].data();
  for (int i = 1; i <= net_.n4(); ++i) net_.eq[i].elimCoef = D[i];
  pivots_in_buffer_ = false;
}

float Simulator::step_pipelined(int flag) {
  AirwayNetwork& n = net_;
  const int nv = n.main.sections();
  const int n3 = n.n3(), n4 = n.n4(), n2 = n.n2();
  const bool walls = cfg.wall == 1;
  td_linear_equation* r = n.eq.data();
  td_acoustic_elements* e = n.main.ac.data();
  td_acoustic_elements* g = n.glottis.ac.data();
  const double* Dp = Dbuf_[dcur_].data();  // pivots of the pending solution
  double* D = Dbuf_[dcur_ ^ 1].data();     // pivots of this step

  // The pending back substitution advances a few rows at a time between the
  // pieces of this step that do not depend on it, so that its divisions
  // overlap with them.
  int b = pending_ ? n3 - 1 : 0;  // next pending row; rows b..1 remain
  auto back = [&](int rows) {
    for (; rows > 0 && b >= 1; --rows, --b)
      r[b].val = (r[b].elimSrc - Dp[b - 1] * r[b + 1].val) / Dp[b];
  };

  // Geometry one increment further, constriction, glottis, flow law, noise.
  back(2);
  area_function& glottis = n.glottis.af[0];
  glottis.A = nonzero_t(glottis.A + n.glottis.daf[0].A);
  refresh_af();
  back(4);
  acous_elements_t(k_, cfg.wall, kTubeGlottis, 1, &glottis, g);
  back(2);
  flow_law();
  const int over = Ac_.region == 2 ? Ac_.index + 1 : -1;  // junction of the constriction resistance
  const double Rc = Rc_v_ + Rc_k_;
  back(4);
  if (cfg.noise_source == 1) inject_noise();

  // Glottal rows and their pivots.
  r[1].coef = law::junction_coef(g[0]);
  r[1].coef += k_.Rlungs;
  r[2].coef = law::section_coef(g[1], walls);
  r[3].coef = law::junction_coef(g[1]);
  D[0] = r[0].elimCoef;
  D[1] = r[1].coef;
  D[2] = D[1] * r[2].coef + D[0];

  // Vocal-tract elements, coefficients and pivots upwards, beside the pending
  // back substitution downwards.
  const double K = k_.K_viscous_const, La = k_.La, Ca = k_.Ca;
  const double Rw = k_.Rw, Lw = k_.Lw, Cw = k_.Cw;
  const area_function* af = n.main.af.data();
  law::HalfSection prev{0.0, 0.0};
  for (int q = 0; q < nv; ++q) {
    back(2);
    const float A = af[q].A;
    const float x = af[q].x;
    const law::HalfSection h = law::tube_half_section(K, La, A, x);
    td_acoustic_elements& eq0 = e[q];
    td_acoustic_elements& eq1 = e[q + 1];
    eq0.R = q == over ? Rc : prev.Rh + h.Rh;
    eq0.L = prev.Lh + h.Lh;
    eq1.C = law::air_compliance(Ca, A, x);
    if (walls)
      law::wall_branch(Rw, Lw, Cw, A, x, eq1);
    else
      eq1.Yw = 0.0;
    prev = h;
    const int j = 3 + 2 * q;  // junction q; section q is row j + 1
    if (q == 0)
      r[j].coef += law::junction_coef(eq0);
    else
      r[j].coef = law::junction_coef(eq0);
    r[j + 1].coef = law::section_coef(eq1, walls);
    D[j] = D[j - 1] * r[j].coef + D[j - 2];
    D[j + 1] = D[j] * r[j + 1].coef + D[j - 1];
  }
  e[nv].R = nv == over ? Rc : prev.Rh;
  e[nv].L = prev.Lh;
  r[n3].coef = law::junction_coef(e[nv]);
  D[n3] = D[n2] * r[n3].coef + D[n2 - 1];
  radiation_load(k_, cfg.rad_boundary, af[nv - 1].A, 5.0, n.lips);
  r[n4].coef = n.lips.coef();
  D[n4] = D[n3] * r[n4].coef + D[n2];
  back(b);

  // Histories from the completed previous solution, row sources, and the
  // source elimination, upwards.
  U1_wall_ = 0.0;
  g[0].srcL = law::trapezoid(g[0].L, r[1].val, g[0].srcL);
  {
    td_acoustic_elements& a1 = g[1];
    const double P = r[2].val;
    a1.srcC = law::trapezoid(a1.C, P, a1.srcC);
    if (walls) law::wall_history(a1, P);
    a1.srcL = law::trapezoid(a1.L, r[3].val, a1.srcL);
  }
  r[1].src = law::junction_src(g[0]);
  r[2].src = law::section_src(g[1], walls);
  r[3].src = law::junction_src(g[1]);
  e[0].srcL = law::trapezoid(e[0].L, r[3].val, e[0].srcL);
  r[3].src += law::junction_src(e[0]);
  r[1].elimSrc = r[0].elimSrc + r[1].src;
  r[2].elimSrc = D[1] * r[2].src + r[1].elimSrc;
  r[3].elimSrc = D[2] * r[3].src + r[2].elimSrc;
  for (int k = 1; k <= nv; ++k) {
    const int s = 2 * k + 2;  // section k-1; its outlet junction is s + 1
    td_acoustic_elements& el = e[k];
    const double P = r[s].val;
    const double U = r[s + 1].val;
    el.srcC = law::trapezoid(el.C, P, el.srcC);
    if (walls) U1_wall_ += law::wall_history(el, P);
    el.srcL = law::trapezoid(el.L, U, el.srcL);
    r[s].src = law::section_src(el, walls);
    r[s + 1].src = law::junction_src(el);
    r[s].elimSrc = D[s - 1] * r[s].src + r[s - 1].elimSrc;
    r[s + 1].elimSrc = D[s] * r[s + 1].src + r[s].elimSrc;
  }
  if (cfg.rad_boundary == 1) r[n4].src = n.lips.advance(r[n4].val);
  r[n4].elimSrc = D[n3] * r[n4].src + r[n3].elimSrc;

  // Radiation row and lip junction now; the rest of the back substitution
  // waits for the next step.
  r[n4].val = r[n4].elimSrc / D[n4];
  r[n3].val = (r[n3].elimSrc - D[n2] * r[n4].val) / D[n3];
  dcur_ ^= 1;
  pending_ = true;
  pivots_in_buffer_ = true;

  U0_lip_ = U1_lip_;
  U1_lip_ = -r[n3].val;
  double d = U1_lip_ - U0_lip_;
  if (cfg.wall_radiation == 1) {
    d += U1_wall_ - U0_wall_;
    U0_wall_ = U1_wall_;
  }
  last_s_ = static_cast<float>(d * k_.Kr);
  return decim_.decim(flag, last_s_);
}

}  // namespace vt
