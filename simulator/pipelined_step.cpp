// Simulation step of the single chain (glottis and moving vocal tract, with
// or without the trachea below the glottis, no nasal branch), scheduled for
// speed with exactly the arithmetic of the plain step:
//
// The back substitution of a step is one long dependent chain of divisions.
// Only the lip flow (row n3) is needed for the output sample, so the step
// solves rows n4 and n3 at once and leaves rows n3-1..1 pending. The next
// step completes them inside its element loop, which depends on the geometry
// alone: the divider chain of the old solution runs beside the new elements,
// row coefficients and elimination pivots (kept in a second buffer). The
// history update, row sources and source elimination follow once the old
// solution is complete.
//
// The same schedule advances up to eight independent simulators (lanes) in
// lockstep: every loop over sections or rows visits all lanes before it moves
// on, so one lane's dependent chains (back substitution, elimination) overlap
// with the others'. Each lane performs exactly the operations of a run alone.
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/element_laws.h"
#include "simulator/lane_pairs.h"
#include "simulator/signal_tap.h"
#include "simulator/simulator.h"

namespace vt {

bool Simulator::can_pipeline() const {
  return allow_pipeline && !net_.has_nasal() && cfg.vocal_tract == 1;
}

void Simulator::finish_pending() const {
  if (!pending_) return;
  const double* D = Dbuf_[dcur_].data();
  td_linear_equation* r = net_.eq.data();
  for (int i = net_.n3() - 1; i >= 1; --i)
    r[i].val = (r[i].elimSrc - D[i - 1] * r[i + 1].val) / D[i];
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
  Simulator* self = this;
  float out = 0.0f;
  step_lanes<1>(&self, flag, &out);
  return out;
}

template <int N>
void Simulator::step_lanes(Simulator* const* sims, int flag, float* out) {
  // Per-lane working set: rows, elements, pivot buffers, pending row.
  struct Lane {
    Simulator* s;
    td_linear_equation* r;
    td_acoustic_elements* e;
    td_acoustic_elements* g;
    td_acoustic_elements* t;  // trachea elements (T + 1 records), fixed during a run
    int T;                    // trachea sections (0: none)
    int o;                    // rows of the trachea below the glottis, 2T
    const area_function* af;
    SectionElementKey* keys;
    const double* Dp;  // pivots of the pending solution
    double* D;         // pivots of this step
    int b;             // next pending row; rows b..1 remain
    int over;          // junction of the constriction resistance (-1: none)
    double Rc;         // constriction resistance, dyn·s/cm⁵
    bool walls;
    law::HalfSection prev;
    double D1, D2;  // the last two pivots formed (rows j-1, j-2)
    double elim;    // the last source elimination formed
    double v;       // the last back-substituted value (row b + 1)
    // Element constants, held here so that no element store can alias them.
    double K, La, Ca, Rw, Lw, Cw;
    double U1_wall;  // wall flows of this step, summed in section order, cm³/s
  };
  Lane lanes[N];
  const int nv = sims[0]->net_.main.sections();  // equal in every lane
  const int n3 = sims[0]->net_.n3(), n4 = sims[0]->net_.n4(), n2 = sims[0]->net_.n2();
  for (int l = 0; l < N; ++l) {
    Simulator& s = *sims[l];
    Lane& L = lanes[l];
    L.s = &s;
    L.r = s.net_.eq.data();
    L.e = s.net_.main.ac.data();
    L.g = s.net_.glottis.ac.data();
    L.t = s.net_.trachea.ac.data();
    L.T = s.net_.has_trachea() ? s.net_.trachea.sections() : 0;
    L.o = 2 * L.T;
    L.af = s.net_.main.af.data();
    L.keys = s.section_keys_.data();
    L.Dp = s.Dbuf_[s.dcur_].data();
    L.D = s.Dbuf_[s.dcur_ ^ 1].data();
    L.b = s.pending_ ? n3 - 1 : 0;
    L.walls = s.cfg.wall == 1;
    L.prev = {0.0, 0.0};
    L.K = s.k_.K_viscous_const;
    L.La = s.k_.La;
    L.Ca = s.k_.Ca;
    L.Rw = s.k_.Rw;
    L.Lw = s.k_.Lw;
    L.Cw = s.k_.Cw;
  }
  // The pending back substitution advances a few rows at a time between the
  // pieces of this step that do not depend on it, so that its divisions
  // overlap with them; so does an output summation left pending by the last
  // call (vtt_sim_deferred), whose last term stores the finished sample.
  // Each chain (back substitution, pivots, source elimination) carries its
  // last value in a register rather than through the row it was stored in.
  for (Lane& L : lanes)
    if (L.b >= 1) L.v = L.r[L.b + 1].val;
  auto back = [](Lane& L, int rows) {
    int b = L.b;
    if (b < 1) return;
    td_linear_equation* r = L.r;
    const double* Dp = L.Dp;
    double v = L.v;
    auto row = [&] {
      v = (r[b].elimSrc - Dp[b - 1] * v) / Dp[b];
      r[b].val = v;
      --b;
    };
    if (b >= rows) {
      for (int k = 0; k < rows; ++k) row();  // a fixed count: unrolled where rows is a constant
    } else {
      while (b >= 1) row();
    }
    L.v = v;
    L.b = b;
  };

  // How the pending rows are spread over the step (measured): a lone chain
  // takes four rows between each piece of the first part and then spreads
  // the rest evenly over the sections, so that its divisions neither starve
  // nor crowd the element work; with several lanes the lanes' chains fill
  // each other's gaps and two rows per piece and per section serve best.
  constexpr int kFirstRows = N == 1 ? 4 : 2;

  // Geometry one increment further, constriction, glottis, flow law, noise;
  // glottal rows and their pivots.
  for (Lane& L : lanes) {
    Simulator& s = *L.s;
    AirwayNetwork& n = s.net_;
    td_linear_equation* r = L.r;
    td_acoustic_elements* g = L.g;
    double* D = L.D;
    back(L, kFirstRows);
    L.s->advance_output(3);
    area_function& glottis = n.glottis.af[0];
    glottis.A = nonzero_t(glottis.A + n.glottis.daf[0].A);
    s.refresh_af();
    back(L, 4);
    L.s->advance_output(3);
    s.glottal_elements_.fill(glottis.A, glottis.x, s.cfg.wall, g, [&] {
      acous_elements_t(s.k_, s.cfg.wall, kTubeGlottis, 1, &glottis, g);
    });
    back(L, kFirstRows);
    L.s->advance_output(3);
    s.flow_law();
    L.over = s.Ac_.region == 2 ? s.Ac_.index + 1 : -1;
    L.Rc = s.Rc_v_ + s.Rc_k_;
    back(L, 4);
    L.s->advance_output(3);
    if (s.cfg.noise_source == 1) s.inject_noise();

    // Trachea rows (yielding walls), then the glottis, whose inlet junction
    // joins the trachea's outlet. The trachea's elements are fixed during a
    // run, and so are its rows below that junction and their pivots: they
    // are formed in the first two steps, once in each pivot buffer.
    const int o = L.o;
    int i0;  // first row whose pivot this step forms
    if (L.T > 0) {
      const td_acoustic_elements* t = L.t;
      if (s.trachea_pivot_buffers_ < 2) {
        r[1].coef = law::junction_coef(t[0]);
        for (int k = 1; k < L.T; ++k) {
          r[2 * k].coef = law::section_coef(t[k], true);
          r[2 * k + 1].coef = law::junction_coef(t[k]);
        }
        r[o].coef = law::section_coef(t[L.T], true);
        r[1].coef += s.k_.Rlungs;
        D[0] = r[0].elimCoef;
        D[1] = r[1].coef;
        for (int i = 2; i <= o; ++i) D[i] = D[i - 1] * r[i].coef + D[i - 2];
        ++s.trachea_pivot_buffers_;
      }
      r[1 + o].coef = law::junction_coef(t[L.T]) + law::junction_coef(g[0]);
      i0 = 1 + o;
    } else {
      r[1].coef = law::junction_coef(g[0]);
      r[1].coef += s.k_.Rlungs;
      D[0] = r[0].elimCoef;
      D[1] = r[1].coef;
      i0 = 2;
    }
    r[2 + o].coef = law::section_coef(g[1], L.walls);
    r[3 + o].coef = law::junction_coef(g[1]);
    for (int i = i0; i <= 2 + o; ++i) D[i] = D[i - 1] * r[i].coef + D[i - 2];
    L.D2 = D[1 + o];
    L.D1 = D[2 + o];
  }

  // Vocal-tract elements, coefficients and pivots upwards, beside the pending
  // back substitution downwards.
  const int spread = lanes[0].b > 0 ? lanes[0].b : 0;  // rows left for a lone chain
  for (int q = 0; q < nv; ++q) {
    for (Lane& L : lanes) {
      if constexpr (N == 1)
        back(L, ((q + 1) * spread) / nv - (q * spread) / nv);
      else
        back(L, 2);
      L.s->advance_output(2);
      const float A = L.af[q].A;
      const float x = L.af[q].x;
      td_acoustic_elements& eq0 = L.e[q];
      td_acoustic_elements& eq1 = L.e[q + 1];
      // A section whose area and length kept their bits keeps its elements.
      SectionElementKey& key = L.keys[q];
      const std::uint32_t Ab = floatBits(A);
      const std::uint32_t xb = floatBits(x);
      law::HalfSection h;
      double C, Y = 0.0;
      if (key.valid && key.A == Ab && key.x == xb && key.walls == L.walls) {
        h = {key.Rh, key.Lh};
        C = eq1.C;
        if (L.walls) Y = eq1.Yw;
      } else {
        h = law::tube_half_section(L.K, L.La, A, x);
        C = law::air_compliance(L.Ca, A, x);
        eq1.C = C;
        if (L.walls) {
          law::wall_branch(L.Rw, L.Lw, L.Cw, A, x, eq1);
          Y = eq1.Yw;
        } else {
          eq1.Yw = 0.0;
        }
        key = {Ab, xb, L.walls, true, h.Rh, h.Lh};
      }
      const double R = q == L.over ? L.Rc : L.prev.Rh + h.Rh;
      const double Lh = L.prev.Lh + h.Lh;
      eq0.R = R;
      eq0.L = Lh;
      L.prev = h;
      td_linear_equation* r = L.r;
      double* D = L.D;
      const int j = 3 + L.o + 2 * q;  // junction q; section q is row j + 1
      double cj = R + Lh;             // junction_coef
      if (q == 0) cj = r[j].coef + cj;
      const double cs = L.walls ? C + Y : C;  // section_coef
      r[j].coef = cj;
      r[j + 1].coef = cs;
      const double dj = L.D1 * cj + L.D2;
      const double dj1 = dj * cs + L.D1;
      D[j] = dj;
      D[j + 1] = dj1;
      L.D2 = dj;
      L.D1 = dj1;
    }
  }
  for (Lane& L : lanes) {
    Simulator& s = *L.s;
    td_linear_equation* r = L.r;
    td_acoustic_elements* e = L.e;
    double* D = L.D;
    e[nv].R = nv == L.over ? L.Rc : L.prev.Rh;
    e[nv].L = L.prev.Lh;
    r[n3].coef = law::junction_coef(e[nv]);
    D[n3] = D[n2] * r[n3].coef + D[n2 - 1];
    radiation_load(s.k_, s.cfg.rad_boundary, L.af[nv - 1].A, 5.0, s.net_.lips);
    r[n4].coef = s.net_.lips.coef();
    D[n4] = D[n3] * r[n4].coef + D[n2];
    back(L, L.b);
    L.s->advance_output(Decimator::q_decim);
  }

  // Histories from the completed previous solution, row sources, and the
  // source elimination, upwards.
  for (Lane& L : lanes) {
    td_linear_equation* r = L.r;
    td_acoustic_elements* g = L.g;
    td_acoustic_elements* e = L.e;
    const double* D = L.D;
    L.U1_wall = 0.0;
    const int o = L.o;
    if (L.T > 0) {  // trachea histories (walls always yield; not radiated), then row sources
      td_acoustic_elements* t = L.t;
      t[0].srcL = law::trapezoid(t[0].L, r[1].val, t[0].srcL);
      for (int k = 1; k <= L.T; ++k) {
        const double P = r[2 * k].val;
        t[k].srcC = law::trapezoid(t[k].C, P, t[k].srcC);
        law::wall_history(t[k], P);
        t[k].srcL = law::trapezoid(t[k].L, r[2 * k + 1].val, t[k].srcL);
      }
      r[1].src = law::junction_src(t[0]);
      for (int k = 1; k <= L.T; ++k) {
        r[2 * k].src = law::section_src(t[k], true);
        r[2 * k + 1].src = law::junction_src(t[k]);
      }
    }
    g[0].srcL = law::trapezoid(g[0].L, r[1 + o].val, g[0].srcL);
    const double P = r[2 + o].val;
    g[1].srcC = law::trapezoid(g[1].C, P, g[1].srcC);
    if (L.walls) law::wall_history(g[1], P);
    g[1].srcL = law::trapezoid(g[1].L, r[3 + o].val, g[1].srcL);
    if (L.T > 0)
      r[1 + o].src += law::junction_src(g[0]);
    else
      r[1].src = law::junction_src(g[0]);
    r[2 + o].src = law::section_src(g[1], L.walls);
    r[3 + o].src = law::junction_src(g[1]);
    e[0].srcL = law::trapezoid(e[0].L, r[3 + o].val, e[0].srcL);
    r[3 + o].src += law::junction_src(e[0]);
    r[1].elimSrc = r[0].elimSrc + r[1].src;
    for (int i = 2; i <= 3 + o; ++i) r[i].elimSrc = D[i - 1] * r[i].src + r[i - 1].elimSrc;
    L.elim = r[3 + o].elimSrc;
  }
  for (int k = 1; k <= nv; ++k) {
    for (Lane& L : lanes) {
      const int s = 2 * k + 2 + L.o;  // section k-1; its outlet junction is s + 1
      td_linear_equation* r = L.r;
      const double* D = L.D;
      td_acoustic_elements& el = L.e[k];
      const double P = r[s].val;
      const double U = r[s + 1].val;
      el.srcC = law::trapezoid(el.C, P, el.srcC);
      if (L.walls) L.U1_wall += law::wall_history(el, P);
      el.srcL = law::trapezoid(el.L, U, el.srcL);
      const double ss = law::section_src(el, L.walls);
      const double sj = law::junction_src(el);
      r[s].src = ss;
      r[s + 1].src = sj;
      const double es = D[s - 1] * ss + L.elim;
      const double ej = D[s] * sj + es;
      r[s].elimSrc = es;
      r[s + 1].elimSrc = ej;
      L.elim = ej;
    }
  }

  // Radiation row and lip junction now; the rest of the back substitution
  // waits for the next step. Radiated pressure into the output filter.
  for (int l = 0; l < N; ++l) {
    Lane& L = lanes[l];
    Simulator& s = *L.s;
    td_linear_equation* r = L.r;
    const double* D = L.D;
    s.U1_wall_ = L.U1_wall;
    if (s.cfg.rad_boundary == 1) r[n4].src = s.net_.lips.advance(r[n4].val);
    r[n4].elimSrc = D[n3] * r[n4].src + r[n3].elimSrc;
    r[n4].val = r[n4].elimSrc / D[n4];
    r[n3].val = (r[n3].elimSrc - D[n2] * r[n4].val) / D[n3];
    s.dcur_ ^= 1;
    s.pending_ = true;
    s.pivots_in_buffer_ = true;
    s.radiate_single_chain(r[n3].val);
  }

  // Output samples: each lane's products, then the lanes' summation chains
  // side by side.
  if (flag != 1) {
    for (int l = 0; l < N; ++l) out[l] = 0.0f;
    return;
  }
  if constexpr (N == 1) {
    Simulator& s = *lanes[0].s;
    if (s.defer_) {
      // The sum waits for the next call (vtt_sim_deferred).
      s.decim_.terms(s.dterms_);
      s.dk_ = 0;
      s.dacc_ = 0.0f;
      out[0] = 0.0f;
      return;
    }
  }
  double t[N][Decimator::q_decim];
  float acc[N];
  for (int l = 0; l < N; ++l) {
    lanes[l].s->decim_.terms(t[l]);
    acc[l] = 0.0f;
  }
  for (int k = 0; k < Decimator::q_decim; ++k)
    for (int l = 0; l < N; ++l) acc[l] = static_cast<float>(acc[l] + t[l][k]);
  for (int l = 0; l < N; ++l) out[l] = acc[l];
}

// Lanes that share the overlapped schedule: same section count and steps per
// output sample.
bool Simulator::lockstep_compatible(const Simulator& a, const Simulator& b) {
  return a.can_pipeline() && b.can_pipeline() && a.net_.main.sections() == b.net_.main.sections() &&
         a.net_.trachea.sections() == b.net_.trachea.sections() && a.k_.deci == b.k_.deci;
}

void Simulator::vtt_sim_lanes(std::span<Simulator* const> lanes, std::span<float> out) {
  if (lanes.size() > kMaxLanes) throw std::invalid_argument("vtt_sim_lanes: at most 8 lanes");
  if (out.size() < lanes.size()) throw std::invalid_argument("vtt_sim_lanes: one output per lane");
  for (std::size_t l = 0; l < lanes.size(); ++l)
    for (std::size_t m = 0; m < l; ++m)
      if (lanes[m] == lanes[l])
        throw std::invalid_argument("vtt_sim_lanes: a simulator is given twice");
  bool together = !lanes.empty();
  for (Simulator* s : lanes) s->complete_output(&s->out_now_);
  for (Simulator* s : lanes) {
    s->check_step_inputs();
    together = together && lockstep_compatible(*lanes[0], *s);
  }
  if (!together) {
    for (std::size_t l = 0; l < lanes.size(); ++l) out[l] = lanes[l]->vtt_sim();
    return;
  }
  const int deci = lanes[0]->k_.deci;
  float y[kMaxLanes] = {};
#if defined(__SSE2__)
  // Pairs of lanes share two-wide instructions; an odd lane steps beside them.
  // Lanes stepping with the same partner as in the last call keep their pair;
  // any other pairing first takes the lanes' state out of their old pairs.
  // (All before dax(), which writes the shunt sources into the lanes' own
  // records.)
  const std::size_t pairs = lanes.size() / 2;
  bool paired = pairs > 0;
  for (std::size_t p = 0; p < pairs && paired; ++p)
    paired = pair_ready(*lanes[2 * p], *lanes[2 * p + 1]);
  if (paired) {
    LanePairBlock* blocks[kMaxLanes / 2];
    for (std::size_t p = 0; p < pairs; ++p) {
      Simulator* const* two = &lanes[2 * p];
      LanePairBlock* held = two[0]->paired_in_;
      if (held == nullptr || held != two[1]->paired_in_ || held->lanes[0] != two[0]) {
        two[0]->reclaim();
        two[1]->reclaim();
        std::unique_ptr<LanePairBlock>& blk = two[0]->pair_block_;
        if (!blk) blk = std::make_unique<LanePairBlock>();
        pair_import(two, *blk);
      }
      blocks[p] = two[0]->paired_in_;
    }
    Simulator* const* odd = lanes.size() % 2 == 1 ? &lanes[lanes.size() - 1] : nullptr;
    if (odd != nullptr) (*odd)->reclaim();
    for (Simulator* s : lanes) s->dax();
    for (std::size_t p = 0; p < pairs; ++p) pair_shunt_sources(&lanes[2 * p], *blocks[p]);
    for (int i = 0; i < deci; ++i) {
      const int flag = i == deci - 1 ? 1 : 0;
      for (std::size_t p = 0; p < pairs; ++p) step_pair(&lanes[2 * p], *blocks[p], flag, y + 2 * p);
      if (odd != nullptr) {
        step_lanes<1>(odd, flag, y + 2 * pairs);
        if ((*odd)->tap_ != nullptr) (*odd)->tap_->record(**odd, flag);
      }
    }
    for (std::size_t l = 0; l < lanes.size(); ++l) out[l] = y[l];
    return;
  }
#endif
  for (Simulator* s : lanes) s->reclaim();
  for (Simulator* s : lanes) s->dax();
  for (int i = 0; i < deci; ++i) {
    const int flag = i == deci - 1 ? 1 : 0;
    switch (lanes.size()) {
      case 1:
        step_lanes<1>(lanes.data(), flag, y);
        break;
      case 2:
        step_lanes<2>(lanes.data(), flag, y);
        break;
      case 3:
        step_lanes<3>(lanes.data(), flag, y);
        break;
      case 4:
        step_lanes<4>(lanes.data(), flag, y);
        break;
      case 5:
        step_lanes<5>(lanes.data(), flag, y);
        break;
      case 6:
        step_lanes<6>(lanes.data(), flag, y);
        break;
      case 7:
        step_lanes<7>(lanes.data(), flag, y);
        break;
      default:
        step_lanes<8>(lanes.data(), flag, y);
        break;
    }
    for (Simulator* s : lanes)
      if (s->tap_ != nullptr) s->tap_->record(*s, flag);
  }
  for (std::size_t l = 0; l < lanes.size(); ++l) out[l] = y[l];
}

}  // namespace vt
